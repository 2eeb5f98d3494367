#ifndef PROGRAMIMAGESOURCE_H
#define PROGRAMIMAGESOURCE_H

#include <QByteArray>

// A program image as C source, for firmware that carries a default show:
// static const unsigned char tessaloom_image[] and its length in
// static const unsigned long tessaloom_image_size. Both are static, so more
// than one C file may include it.
class ProgramImageSource
{
public:
    static QByteArray text(const QByteArray& image);
};

#endif // PROGRAMIMAGESOURCE_H
