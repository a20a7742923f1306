#include "RadarPages.h"

#include <QtEndian>

#include <cmath>
#include <memory>

void RadarPages::install(LoopbackServer& server, int approximateBytes, int changedRows)
{
    const int side = int(std::sqrt(approximateBytes / 3.0)) / 4 * 4;
    const int rowBytes = side * 3;
    QByteArray bmp(54 + rowBytes * side, '\0');
    char* h = bmp.data();
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(quint32(bmp.size()), h + 2);
    qToLittleEndian<quint32>(54, h + 10);
    qToLittleEndian<quint32>(40, h + 14);
    qToLittleEndian<qint32>(side, h + 18);
    qToLittleEndian<qint32>(side, h + 22);
    qToLittleEndian<quint16>(1, h + 26);
    qToLittleEndian<quint16>(24, h + 28);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            char* p = h + 54 + y * rowBytes + x * 3;
            p[0] = char((x * 255) / side);
            p[1] = char((y * 255) / side);
            p[2] = char(((x ^ y) & 0x3f) + 64);
        }
    }
    auto picture = std::make_shared<QByteArray>(bmp);
    auto counter = std::make_shared<int>(0);
    server.setGenerator(QStringLiteral("/radar.bmp"), [picture, counter, rowBytes, side, changedRows] {
        // A moving sweep band: every request gets a picture that differs from the one before; each
        // sweep over the picture paints the other colour of white and black.
        QByteArray& b = *picture;
        const int band = (*counter)++;
        const int first = (band * changedRows) % side;
        const int last = qMin(first + changedRows, side);
        std::fill(b.data() + 54 + first * rowBytes, b.data() + 54 + last * rowBytes,
                  changedRows == 1 || (band / ((side + changedRows - 1) / changedRows)) % 2 == 0 ? char(0xff)
                                                                                                 : char(0));
        return LoopbackServer::Response{b, "image/bmp"};
    });
    server.setPage(QStringLiteral("/radar"), "<html><head><title>Radar</title></head><body style='margin:0'>"
                                             "<img src='/radar.bmp' style='width:100%'></body></html>");
}
