#include "engine/pngicons.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ordwick::engine {

namespace {

constexpr int kSamples = 4;

std::uint32_t crc32(const QByteArray& bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char byte : bytes)
        c = table[(c ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void appendBigEndian(QByteArray& out, std::uint32_t value) {
    out += static_cast<char>((value >> 24) & 0xFF);
    out += static_cast<char>((value >> 16) & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void appendChunk(QByteArray& png, const char* type, const QByteArray& data) {
    appendBigEndian(png, static_cast<std::uint32_t>(data.size()));
    QByteArray typed(type, 4);
    typed += data;
    png += typed;
    appendBigEndian(png, crc32(typed));
}

// A zlib stream of stored blocks: no compression, so no library version can
// change the bytes.
QByteArray storedZlib(const QByteArray& raw) {
    QByteArray out;
    out += static_cast<char>(0x78);
    out += static_cast<char>(0x01);
    qsizetype offset = 0;
    do {
        const qsizetype length = std::min<qsizetype>(65535, raw.size() - offset);
        const bool last = offset + length >= raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>((length >> 8) & 0xFF);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>((~length >> 8) & 0xFF);
        out += raw.mid(offset, length);
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char byte : raw) {
        a = (a + static_cast<std::uint8_t>(byte)) % 65521u;
        b = (b + a) % 65521u;
    }
    appendBigEndian(out, (b << 16) | a);
    return out;
}

} // namespace

Picture::Picture(int width, int height)
    : m_width(width), m_height(height),
      m_rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0) {}

std::uint32_t Picture::pixel(int x, int y) const {
    const size_t at =
        (static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)) * 4;
    return (std::uint32_t{m_rgba[at]} << 24) | (std::uint32_t{m_rgba[at + 1]} << 16) |
           (std::uint32_t{m_rgba[at + 2]} << 8) | m_rgba[at + 3];
}

void Picture::blend(int x, int y, std::uint32_t rgb, double coverage) {
    if (coverage <= 0.0)
        return;
    const size_t at =
        (static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)) * 4;
    const double srcA = coverage;
    const double dstA = m_rgba[at + 3] / 255.0;
    const double outA = srcA + dstA * (1.0 - srcA);
    const std::array<double, 3> src = {((rgb >> 16) & 0xFF) / 1.0, ((rgb >> 8) & 0xFF) / 1.0,
                                       (rgb & 0xFF) / 1.0};
    for (size_t k = 0; k < 3; ++k) {
        const double dst = m_rgba[at + k];
        const double value = (src[k] * srcA + dst * dstA * (1.0 - srcA)) / outA;
        m_rgba[at + k] = static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
    }
    m_rgba[at + 3] = static_cast<std::uint8_t>(std::lround(std::clamp(outA * 255.0, 0.0, 255.0)));
}

template <typename Inside>
void Picture::cover(double x0, double y0, double x1, double y1, std::uint32_t rgb, Inside inside) {
    const int left = std::max(0, static_cast<int>(std::floor(x0)));
    const int top = std::max(0, static_cast<int>(std::floor(y0)));
    const int right = std::min(m_width - 1, static_cast<int>(std::ceil(x1)));
    const int bottom = std::min(m_height - 1, static_cast<int>(std::ceil(y1)));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = x + (sx + 0.5) / kSamples;
                    const double py = y + (sy + 0.5) / kSamples;
                    if (inside(px, py))
                        ++hits;
                }
            }
            blend(x, y, rgb, static_cast<double>(hits) / (kSamples * kSamples));
        }
    }
}

void Picture::fillPolygon(const std::vector<std::pair<double, double>>& points, std::uint32_t rgb) {
    double x0 = m_width, y0 = m_height, x1 = 0, y1 = 0;
    for (const auto& [x, y] : points) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    cover(x0, y0, x1, y1, rgb, [&](double px, double py) {
        // Even-odd rule: a ray to the right crosses the outline an odd number of times.
        bool in = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto& [xi, yi] = points[i];
            const auto& [xj, yj] = points[j];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    });
}

void Picture::fillRect(double x0, double y0, double x1, double y1, std::uint32_t rgb) {
    cover(x0, y0, x1, y1, rgb,
          [&](double px, double py) { return px >= x0 && px < x1 && py >= y0 && py < y1; });
}

void Picture::ring(double cx, double cy, double outer, double inner, std::uint32_t rgb) {
    cover(cx - outer, cy - outer, cx + outer, cy + outer, rgb, [&](double px, double py) {
        const double d = std::hypot(px - cx, py - cy);
        return d <= outer && d >= inner;
    });
}

void Picture::line(double x0, double y0, double x1, double y1, double width, std::uint32_t rgb) {
    const double half = width / 2.0;
    const double length = std::hypot(x1 - x0, y1 - y0);
    cover(std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half,
          std::max(y0, y1) + half, rgb, [&](double px, double py) {
              // Distance to the segment: a stroke with round ends.
              double t = ((px - x0) * (x1 - x0) + (py - y0) * (y1 - y0)) / (length * length);
              t = std::clamp(t, 0.0, 1.0);
              return std::hypot(px - (x0 + t * (x1 - x0)), py - (y0 + t * (y1 - y0))) <= half;
          });
}

QByteArray Picture::png() const {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, static_cast<std::uint32_t>(m_width));
    appendBigEndian(header, static_cast<std::uint32_t>(m_height));
    header += static_cast<char>(8); // bit depth
    header += static_cast<char>(6); // RGBA
    header += static_cast<char>(0); // deflate
    header += static_cast<char>(0); // adaptive filtering
    header += static_cast<char>(0); // no interlace
    appendChunk(png, "IHDR", header);
    QByteArray raw;
    raw.reserve(static_cast<qsizetype>(m_height) * (1 + m_width * 4));
    for (int y = 0; y < m_height; ++y) {
        raw += static_cast<char>(0); // filter: none
        raw.append(reinterpret_cast<const char*>(m_rgba.data()) +
                       static_cast<qsizetype>(y) * m_width * 4,
                   static_cast<qsizetype>(m_width) * 4);
    }
    appendChunk(png, "IDAT", storedZlib(raw));
    appendChunk(png, "IEND", {});
    return png;
}

namespace {

constexpr std::uint32_t kInk = 0x1F4E8C;   // the site's blue
constexpr std::uint32_t kFaint = 0xA9BCD6; // an inactive arrow
constexpr std::uint32_t kGreen = 0x2E8540;
constexpr std::uint32_t kRed = 0xB3261E;
constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr int kSize = 16;

using Points = std::vector<std::pair<double, double>>;

Picture arrow(bool up, std::uint32_t rgb) {
    Picture p(kSize, kSize);
    if (up)
        p.fillPolygon({{8, 3.5}, {13, 10.5}, {3, 10.5}}, rgb);
    else
        p.fillPolygon({{3, 5.5}, {13, 5.5}, {8, 12.5}}, rgb);
    return p;
}

Picture bothArrows() {
    Picture p(kSize, kSize);
    p.fillPolygon({{8, 1.5}, {12, 6.5}, {4, 6.5}}, kFaint);
    p.fillPolygon({{4, 9.5}, {12, 9.5}, {8, 14.5}}, kFaint);
    return p;
}

Picture plus() {
    Picture p(kSize, kSize);
    p.ring(8, 8, 7.5, 0, kGreen);
    p.fillRect(7, 4, 9, 12, kPaper);
    p.fillRect(4, 7, 12, 9, kPaper);
    return p;
}

Picture pencil() {
    Picture p(kSize, kSize);
    p.fillPolygon({{11, 2}, {14, 5}, {6, 13}, {3, 10}}, kInk);
    p.fillPolygon({{3, 10}, {6, 13}, {1.5, 14.5}}, 0xE0A030);
    return p;
}

Picture cross() {
    Picture p(kSize, kSize);
    p.line(4, 4, 12, 12, 2.6, kRed);
    p.line(12, 4, 4, 12, 2.6, kRed);
    return p;
}

Picture magnifier() {
    Picture p(kSize, kSize);
    p.ring(6.5, 6.5, 5, 3.2, kInk);
    p.line(10, 10, 14, 14, 2.6, kInk);
    return p;
}

Picture printer() {
    Picture p(kSize, kSize);
    p.fillRect(4, 1.5, 12, 6, kFaint);
    p.fillRect(1.5, 6, 14.5, 12, kInk);
    p.fillRect(4, 10, 12, 14.5, kPaper);
    p.fillRect(4.5, 10.5, 11.5, 14, 0xDDE5F0);
    return p;
}

Picture exportArrow() {
    Picture p(kSize, kSize);
    p.fillRect(2, 6, 4, 14, kInk);
    p.fillRect(2, 12, 12, 14, kInk);
    p.line(6, 10, 12, 4, 2.2, kGreen);
    p.fillPolygon({{8.5, 2.5}, {14, 2}, {13.5, 7.5}}, kGreen);
    return p;
}

Picture pagerArrow(bool forward, bool toEnd) {
    Picture p(kSize, kSize);
    const auto mirror = [forward](double x) { return forward ? x : kSize - x; };
    p.fillPolygon({{mirror(5), 3}, {mirror(11), 8}, {mirror(5), 13}}, kInk);
    if (toEnd)
        p.fillRect(std::min(mirror(11.5), mirror(13.5)), 3, std::max(mirror(11.5), mirror(13.5)),
                   13, kInk);
    return p;
}

} // namespace

std::vector<SiteImage> siteImages() {
    return {
        {QStringLiteral("sort_asc.png"), arrow(true, kInk).png()},
        {QStringLiteral("sort_desc.png"), arrow(false, kInk).png()},
        {QStringLiteral("sort_none.png"), bothArrows().png()},
        {QStringLiteral("add.png"), plus().png()},
        {QStringLiteral("edit.png"), pencil().png()},
        {QStringLiteral("delete.png"), cross().png()},
        {QStringLiteral("search.png"), magnifier().png()},
        {QStringLiteral("print.png"), printer().png()},
        {QStringLiteral("export.png"), exportArrow().png()},
        {QStringLiteral("first.png"), pagerArrow(false, true).png()},
        {QStringLiteral("prev.png"), pagerArrow(false, false).png()},
        {QStringLiteral("next.png"), pagerArrow(true, false).png()},
        {QStringLiteral("last.png"), pagerArrow(true, true).png()},
    };
}

} // namespace ordwick::engine
