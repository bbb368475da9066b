#include "ui/toolkit/Contrast.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
// The linear light of every 8-bit sRGB component, computed once.
const std::array<double, 256>& LinearComponents()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            values[static_cast<size_t>(i)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return values;
    }();
    return table;
}

double RatioOfLuminances(double a, double b)
{
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

double LowestRatio(double luminance, std::initializer_list<QColor> backgrounds)
{
    double lowest = 21.0;
    for (const QColor& background : backgrounds)
        lowest = std::min(lowest, RatioOfLuminances(luminance, RelativeLuminance(background)));
    return lowest;
}
} // namespace

double RelativeLuminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    const auto& linear = LinearComponents();
    return 0.2126 * linear[static_cast<size_t>(rgb.red())] + 0.7152 * linear[static_cast<size_t>(rgb.green())] +
           0.0722 * linear[static_cast<size_t>(rgb.blue())];
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    return RatioOfLuminances(RelativeLuminance(a), RelativeLuminance(b));
}

double LowestContrast(const QColor& colour, std::initializer_list<QColor> backgrounds)
{
    return LowestRatio(RelativeLuminance(colour), backgrounds);
}

QColor MixColors(const QColor& a, const QColor& b, double weightOfB)
{
    const double w = std::clamp(weightOfB, 0.0, 1.0);
    const auto mix = [w](int from, int to) { return static_cast<int>(std::lround(from + (to - from) * w)); };
    const QColor x = a.toRgb();
    const QColor y = b.toRgb();
    return QColor(mix(x.red(), y.red()), mix(x.green(), y.green()), mix(x.blue(), y.blue()));
}

QColor ReadableColor(const QColor& preferred, std::initializer_list<QColor> backgrounds, double minimum)
{
    if (LowestContrast(preferred, backgrounds) >= minimum)
        return preferred.toRgb();
    // Step toward black and toward white at once; the first mix that reads wins, and of two
    // that read at the same step the one with more contrast.
    constexpr int kSteps = 64;
    for (int step = 1; step <= kSteps; ++step) {
        const double weight = static_cast<double>(step) / kSteps;
        const QColor darker = MixColors(preferred, Qt::black, weight);
        const QColor lighter = MixColors(preferred, Qt::white, weight);
        const double darkRatio = LowestContrast(darker, backgrounds);
        const double lightRatio = LowestContrast(lighter, backgrounds);
        if (darkRatio >= minimum || lightRatio >= minimum)
            return darkRatio >= lightRatio ? darker : lighter;
    }
    return LowestContrast(QColor(Qt::black), backgrounds) >= LowestContrast(QColor(Qt::white), backgrounds)
               ? QColor(Qt::black)
               : QColor(Qt::white);
}
