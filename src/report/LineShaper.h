#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QString>

#include <optional>
#include <vector>

class QPaintDevice;

namespace plx {

// Shapes single lines of text for painting: never wrapped, as wide as all their
// characters (blanks at the end too), glyphs placed from the start of the baseline.
//
// Shaping a line with QTextLayout costs more than painting it, and most lines of a
// print run differ in every document (numbers, keys, dates). For a font whose
// tables change no glyph of the line by its neighbours (no ligature, contextual form
// or positioning applies; kerning is off in the report's fonts) and a line of plain
// left-to-right characters that font has, a line is its characters' glyphs side by
// side: each character is shaped alone once per font and kept, and the line is put
// together from them, with the same glyphs and positions QTextLayout gives it.
// Every other line is shaped by QTextLayout.
class LineShaper
{
public:
    // Shapes for `device` (see useDevice()).
    explicit LineShaper(QPaintDevice* device = nullptr) { useDevice(device); }

    // The device whose resolution the fonts are scaled to, until the next call; it
    // must outlive its use. The glyphs kept are kept for the next device of the
    // same resolution (the next PDF of a print run) and dropped for another.
    void useDevice(QPaintDevice* device);

    // Shapes `line` in `font`; returns its width, `runs` gets its glyphs.
    double shape(const QString& line, const QFont& font, QList<QGlyphRun>& runs);

    // The same, always with QTextLayout.
    static double shapeWithLayout(const QString& line, const QFont& font, QPaintDevice* device, QList<QGlyphRun>& runs);

    // For a font whose tables move no glyph (no default positioning feature, no AAT
    // tables): the glyphs its default substitution features may change by their
    // neighbours, those that start a ligature or a contextual rule. Nothing for any
    // other font.
    static std::optional<std::vector<bool>> neighbourGlyphs(const QRawFont& font);

private:
    struct CharGlyph
    {
        QRawFont font;
        quint32 index = 0;
        double advance = 0;
        // A plain character shaped alone to one glyph of one font, which starts no
        // ligature or contextual rule: it may stand beside any other.
        bool usable = false;
    };
    struct FontGlyphs
    {
        std::optional<std::vector<bool>> neighbourGlyphs; // nothing: every line laid out whole
        QHash<char16_t, CharGlyph> characters;
    };
    FontGlyphs& glyphsOf(const QFont& font);
    const CharGlyph& glyphOf(FontGlyphs& glyphs, const QFont& font, char16_t c);

    QPaintDevice* m_device = nullptr;
    int m_dpiX = 0;
    int m_dpiY = 0;
    QHash<QFont, FontGlyphs> m_fonts;
};

} // namespace plx
