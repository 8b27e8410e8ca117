#include "LineShaper.h"

#include <QPaintDevice>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

namespace plx {

namespace {

// Features a shaper applies by default to horizontal text of any script, which
// may change a glyph or its place by its neighbours.
bool isDefaultFeature(const char tag[4])
{
    static const char* const kDefaults[] = {"rvrn", "ltra", "ltrm", "frac", "numr", "dnom", "rand", "trak",
                                            "abvm", "blwm", "ccmp", "locl", "mark", "mkmk", "rlig", "calt",
                                            "clig", "curs", "dist", "kern", "liga", "rclt", "HARF", "BUZZ"};
    for (const char* feature : kDefaults) {
        if (std::equal(tag, tag + 4, feature))
            return true;
    }
    return false;
}

quint16 u16(const QByteArray& table, qsizetype at)
{
    if (at < 0 || at + 2 > table.size())
        throw std::out_of_range("font table");
    return quint16((uchar(table[at]) << 8) | uchar(table[at + 1]));
}

// Adds the glyphs of the OpenType coverage table at `at` to `glyphs`.
void addCoverage(const QByteArray& table, qsizetype at, std::vector<bool>& glyphs)
{
    const int format = u16(table, at);
    const int count = u16(table, at + 2);
    for (int i = 0; i < count; ++i) {
        if (format == 1) {
            glyphs[u16(table, at + 4 + i * 2)] = true;
        } else if (format == 2) {
            const int first = u16(table, at + 4 + i * 6);
            const int last = u16(table, at + 6 + i * 6);
            for (int g = first; g <= last; ++g)
                glyphs[size_t(g)] = true;
        } else {
            throw std::out_of_range("coverage format");
        }
    }
}

// The glyphs a default feature of a GSUB table may change by their neighbours:
// those that start a ligature or a contextual rule, or that a rule looking back
// at them may follow. Substitutions of one glyph alone (types 1 to 3) change a
// character shaped alone just as in a line, and are left out. Nothing when the
// table cannot be read.
std::optional<std::vector<bool>> contextualGlyphs(const QByteArray& gsub)
{
    std::vector<bool> glyphs(65536, false);
    if (gsub.isEmpty())
        return glyphs;
    try {
        const qsizetype featureList = u16(gsub, 6);
        const qsizetype lookupList = u16(gsub, 8);
        const int features = u16(gsub, featureList);
        for (int f = 0; f < features; ++f) {
            const qsizetype record = featureList + 2 + f * 6;
            if (record + 6 > gsub.size())
                return std::nullopt;
            if (!isDefaultFeature(gsub.constData() + record))
                continue;
            const qsizetype feature = featureList + u16(gsub, record + 4);
            const int lookups = u16(gsub, feature + 2);
            for (int l = 0; l < lookups; ++l) {
                const int index = u16(gsub, feature + 4 + l * 2);
                const qsizetype lookup = lookupList + u16(gsub, lookupList + 2 + index * 2);
                const int lookupType = u16(gsub, lookup);
                const int subtables = u16(gsub, lookup + 4);
                for (int t = 0; t < subtables; ++t) {
                    qsizetype subtable = lookup + u16(gsub, lookup + 6 + t * 2);
                    int type = lookupType;
                    if (type == 7) { // extension: the real type and a 32-bit offset
                        type = u16(gsub, subtable + 2);
                        subtable += (qsizetype(u16(gsub, subtable + 4)) << 16) | u16(gsub, subtable + 6);
                    }
                    if (type >= 1 && type <= 3)
                        continue;
                    const int format = u16(gsub, subtable);
                    if (type == 4 || type == 8 || ((type == 5 || type == 6) && format != 3)) {
                        addCoverage(gsub, subtable + u16(gsub, subtable + 2), glyphs);
                    } else if (type == 5) { // format 3: the coverage of the first glyph
                        addCoverage(gsub, subtable + u16(gsub, subtable + 6), glyphs);
                    } else if (type == 6) { // format 3: the first input glyph, after the backtrack
                        const int backtrack = u16(gsub, subtable + 2);
                        const qsizetype input = subtable + 4 + backtrack * 2;
                        if (u16(gsub, input) > 0)
                            addCoverage(gsub, subtable + u16(gsub, input + 2), glyphs);
                    } else {
                        return std::nullopt;
                    }
                }
            }
        }
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
    return glyphs;
}

// Whether a GPOS table has none of the default features: an absent table has none,
// one that cannot be read is taken to have them.
bool positionsNothing(const QByteArray& gpos)
{
    if (gpos.isEmpty())
        return true;
    try {
        const qsizetype featureList = u16(gpos, 6);
        const int features = u16(gpos, featureList);
        for (int f = 0; f < features; ++f) {
            const qsizetype record = featureList + 2 + f * 6;
            if (record + 6 > gpos.size() || isDefaultFeature(gpos.constData() + record))
                return false;
        }
    } catch (const std::out_of_range&) {
        return false;
    }
    return true;
}

// A character a shaper takes as it is in left-to-right text: no mark, control or
// format character, no right-to-left or complex script, not half of a pair.
bool isPlainCharacter(char16_t c)
{
    const QChar ch(c);
    if (ch.isSurrogate())
        return false;
    switch (ch.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    default:
        break;
    }
    switch (ch.direction()) {
    case QChar::DirL:
    case QChar::DirEN:
    case QChar::DirES:
    case QChar::DirET:
    case QChar::DirCS:
    case QChar::DirON:
    case QChar::DirWS:
        break;
    default:
        return false;
    }
    switch (ch.script()) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
        return true;
    default:
        return false;
    }
}

} // namespace

double LineShaper::shapeWithLayout(const QString& line, const QFont& font, QPaintDevice* device, QList<QGlyphRun>& runs)
{
    QTextLayout layout(line, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    if (textLine.isValid())
        textLine.setLineWidth(std::numeric_limits<int>::max() / 256.0);
    layout.endLayout();
    runs = layout.glyphRuns();
    if (!textLine.isValid())
        return 0;
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& at : positions)
            at.ry() -= textLine.ascent();
        run.setPositions(positions);
    }
    return textLine.naturalTextWidth();
}

void LineShaper::useDevice(QPaintDevice* device)
{
    m_device = device;
    const int dpiX = device ? device->logicalDpiX() : 0;
    const int dpiY = device ? device->logicalDpiY() : 0;
    if (dpiX != m_dpiX || dpiY != m_dpiY)
        m_fonts.clear();
    m_dpiX = dpiX;
    m_dpiY = dpiY;
}

std::optional<std::vector<bool>> LineShaper::neighbourGlyphs(const QRawFont& font)
{
    if (!font.isValid())
        return std::nullopt;
    for (const char* aat : {"morx", "mort", "kerx"}) {
        if (!font.fontTable(aat).isEmpty())
            return std::nullopt;
    }
    if (!positionsNothing(font.fontTable("GPOS")))
        return std::nullopt;
    return contextualGlyphs(font.fontTable("GSUB"));
}

LineShaper::FontGlyphs& LineShaper::glyphsOf(const QFont& font)
{
    auto it = m_fonts.find(font);
    if (it == m_fonts.end()) {
        FontGlyphs glyphs;
        // Kerning on would move glyphs by their neighbours whatever the tables say.
        if (!font.kerning())
            glyphs.neighbourGlyphs = neighbourGlyphs(QRawFont::fromFont(QFont(font, m_device)));
        it = m_fonts.insert(font, std::move(glyphs));
    }
    return *it;
}

const LineShaper::CharGlyph& LineShaper::glyphOf(FontGlyphs& glyphs, const QFont& font, char16_t c)
{
    auto it = glyphs.characters.constFind(c);
    if (it != glyphs.characters.cend())
        return *it;
    CharGlyph glyph;
    QList<QGlyphRun> runs;
    glyph.advance = shapeWithLayout(QString(QChar(c)), font, m_device, runs);
    // One glyph of one font, which no ligature or contextual rule starts with.
    if (isPlainCharacter(c) && runs.size() == 1 && runs[0].glyphIndexes().size() == 1 &&
        runs[0].positions().value(0) == QPointF(0, 0)) {
        glyph.font = runs[0].rawFont();
        glyph.index = runs[0].glyphIndexes()[0];
        glyph.usable = glyph.index <= 0xffff && !(*glyphs.neighbourGlyphs)[glyph.index];
    }
    return *glyphs.characters.insert(c, std::move(glyph));
}

double LineShaper::shape(const QString& line, const QFont& font, QList<QGlyphRun>& runs)
{
    FontGlyphs& glyphs = glyphsOf(font);
    if (!glyphs.neighbourGlyphs || line.isEmpty())
        return shapeWithLayout(line, font, m_device, runs);
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(line.size());
    positions.reserve(line.size());
    std::optional<QRawFont> first;
    double x = 0;
    for (const QChar c : line) {
        const CharGlyph& glyph = glyphOf(glyphs, font, c.unicode());
        // A character the font lacks comes from another font: the line is laid out whole.
        if (!glyph.usable || (first && glyph.font != *first))
            return shapeWithLayout(line, font, m_device, runs);
        if (!first)
            first = glyph.font;
        indexes.append(glyph.index);
        positions.append(QPointF(x, 0));
        x += glyph.advance;
    }
    QGlyphRun run;
    run.setRawFont(*first);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    runs = {run};
    return x;
}

} // namespace plx
