// The surface's picture loaders: a QJX slide or a BMP file into the surface.
#include "render/w_dib32.h"

int CDIBSurface::LoadImageFile(const char* path, const RGBQUAD* palette)
{
    (void)path;
    (void)palette;
    return -1;
}

int CDIBSurface::LoadQjx(const char* path)
{
    (void)path;
    return -1;
}
