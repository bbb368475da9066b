#include "BenchSupport.h"

#include "resources/CompiledResources.h"
#include "ui/toolkit/ImageCache.h"

void PrepareImageCache()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    InitializeCompiledResources();
    TheImageCache().SetFontFamily(QStringLiteral("DejaVu Sans"));
    if (TheImageCache().Images().empty())
        TheImageCache().LoadImages(ImageCache::StartupImageNames());
}
