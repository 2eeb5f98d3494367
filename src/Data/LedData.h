#ifndef LEDDATA_H
#define LEDDATA_H

class QXmlStreamReader;
class QXmlStreamWriter;

// The intensity of one LED in one frame.
class LedData
{
public:
    LedData();

    int intensity() const;
    void setIntensity(int intensity);

    void readXML(QXmlStreamReader& xml);
    void writeXML(QXmlStreamWriter& xml, int index);

private:
    int m_Intensity;
};

#endif // LEDDATA_H
