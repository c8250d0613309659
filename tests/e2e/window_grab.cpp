// Writes a window's current pixels to a binary PPM file, for the end-to-end
// tests that check that the show keeps drawing new frames. Xvfb keeps every
// window's contents, so the image is what the program last presented.
// Usage: e2e_window_grab WINDOW_ID OUT.ppm
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    Display *d = XOpenDisplay(nullptr);
    if (d == nullptr)
        return 1;
    const auto w = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    XWindowAttributes a{};
    if (XGetWindowAttributes(d, w, &a) == 0 || a.width <= 0 || a.height <= 0)
        return 1;
    XImage *image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                              AllPlanes, ZPixmap);
    if (image == nullptr)
        return 1;
    std::FILE *out = std::fopen(argv[2], "wb");
    if (out == nullptr)
        return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", a.width, a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const unsigned char rgb[3] = {static_cast<unsigned char>((p & image->red_mask) >> 16),
                                          static_cast<unsigned char>((p & image->green_mask) >> 8),
                                          static_cast<unsigned char>(p & image->blue_mask)};
            std::fwrite(rgb, 1, 3, out);
        }
    std::fclose(out);
    XDestroyImage(image);
    XCloseDisplay(d);
    return 0;
}
