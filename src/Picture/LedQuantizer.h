#ifndef LEDQUANTIZER_H
#define LEDQUANTIZER_H

#include "Data/LedLayout.h"

#include <QVector>

// Turns mean luminances, one per LED, into LED intensities 0 and 1: lit where
// the luminance reaches the threshold, or by error diffusion (Floyd–Steinberg)
// so that a grey lights a share of the LEDs that matches its brightness. On a
// grid the error goes on along the row and onto the next row; on a ring along
// each circle and onto the next circle out.
class LedQuantizer
{
public:
    static QVector<int> quantize(const QVector<double>& luminance, const LedLayout& layout, int threshold,
                                 bool dither, bool invert);
};

#endif // LEDQUANTIZER_H
