#ifndef PICTUREIMPORTSETTINGS_H
#define PICTUREIMPORTSETTINGS_H

// How a picture becomes frames: where it sits on the panel, when an LED lights,
// and for an animation how long each of its frames lasts.
struct PictureImportSettings
{
    enum eFit
    {
        Fit = 0, // the whole picture inside the panel, aspect ratio kept
        Fill, // the panel covered, aspect ratio kept, the rest cropped
        Stretch
    };

    eFit fit = Fit;
    int threshold = 128; // on the luminance, 0 to 255
    bool dither = false;
    bool invert = false;
    bool keepTiming = false;
    int framesPerSecond = 10;
};

#endif // PICTUREIMPORTSETTINGS_H
