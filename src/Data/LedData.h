#ifndef LEDDATA_H
#define LEDDATA_H

class QXmlStreamReader;
class QXmlStreamWriter;

// The intensity of one LED in one frame.
class LedData
{
public:
    LedData();

    // Inline: whole frames are read LED by LED on every frame shown.
    int intensity() const { return m_Intensity; }
    void setIntensity(int intensity);

    void readXML(QXmlStreamReader& xml);
    void writeXML(QXmlStreamWriter& xml, int index);

private:
    int m_Intensity;
};

#endif // LEDDATA_H
