#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace ordwick::engine {

// A small RGBA picture, drawn by code and written as PNG.
class Picture {
public:
    Picture(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::uint32_t pixel(int x, int y) const; // 0xRRGGBBAA

    // Shapes in pixel coordinates (pixel centres at .5), edges smoothed by
    // sampling each pixel on a 4 x 4 grid. Colours are 0xRRGGBB.
    void fillPolygon(const std::vector<std::pair<double, double>>& points, std::uint32_t rgb);
    void fillRect(double x0, double y0, double x1, double y1, std::uint32_t rgb);
    void ring(double cx, double cy, double outer, double inner, std::uint32_t rgb);
    void line(double x0, double y0, double x1, double y1, double width, std::uint32_t rgb);

    // The PNG file: 8-bit RGBA, stored (uncompressed) deflate blocks, so the
    // bytes depend on nothing but the pixels.
    QByteArray png() const;

private:
    template <typename Inside>
    void cover(double x0, double y0, double x1, double y1, std::uint32_t rgb, Inside inside);
    void blend(int x, int y, std::uint32_t rgb, double coverage);

    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_rgba;
};

struct SiteImage {
    QString fileName; // e.g. "sort_asc.png"
    QByteArray bytes;
};

// The images of the generated site: sort arrows and the buttons of the pages.
std::vector<SiteImage> siteImages();

} // namespace ordwick::engine
