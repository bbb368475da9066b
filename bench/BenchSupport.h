#pragma once

/// Fonts (DejaVu Sans, as the tests use) and the ten pictures, once per benchmark process.
void PrepareImageCache();
