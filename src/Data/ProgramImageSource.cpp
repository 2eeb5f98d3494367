#include "Data/ProgramImageSource.h"

namespace {

constexpr int BytesPerLine = 12;

} // namespace

QByteArray ProgramImageSource::text(const QByteArray& image)
{
    QByteArray out;
    out.reserve(image.size() * 6 + 256);
    out += "/* Program image of a Tessaloom show: " + QByteArray::number(image.size()) + " bytes. */\n";
    out += "static const unsigned char tessaloom_image[] = {\n";
    // C has no empty array: an empty image keeps one unused byte, its size says 0.
    const QByteArray bytes = image.isEmpty() ? QByteArray(1, '\0') : image;
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < bytes.size(); ++i) {
        out += (i % BytesPerLine == 0) ? "    " : " ";
        const auto b = quint8(bytes.at(i));
        out += "0x";
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ',';
        if (i % BytesPerLine == BytesPerLine - 1 || i == bytes.size() - 1)
            out += '\n';
    }
    out += "};\n";
    out += "static const unsigned long tessaloom_image_size = " + QByteArray::number(image.size()) + "UL;\n";
    return out;
}
