#include "LayoutReader.h"

#include "LayoutJson.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace plx {

namespace {

// Slack for lengths that should meet exactly (a slot that ends on the sheet's edge).
constexpr double kTolerance = 0.05;
constexpr int kMaxColumn = 9999;
// Font sizes a document can use, in points. A size far beyond the largest makes the
// text fit lay out huge glyphs again and again; no form prints text that large.
constexpr double kMinFontSize = 2;
constexpr double kMaxFontSize = 200;

// A problem found in the file; caught in LayoutReader::parse and turned into the message.
struct LayoutProblem
{
    QString text;
};

[[noreturn]] void fail(QString text)
{
    throw LayoutProblem{std::move(text)};
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

// One JSON object of the file with its path ("items[3]"), for typed access with
// messages that point at the key.
class Node
{
public:
    Node(QJsonObject object, QString path) : m_object(std::move(object)), m_path(std::move(path)) {}

    QString path(const QString& key) const { return m_path.isEmpty() ? key : m_path + u'.' + key; }
    QString where() const { return m_path.isEmpty() ? QStringLiteral("最上位") : m_path; }
    bool has(const QString& key) const { return m_object.contains(key); }
    QJsonValue value(const QString& key) const { return m_object.value(key); }

    // Refuses keys that are not in `allowed` ("comment" is allowed everywhere): a
    // misspelt optional key would otherwise be ignored without a word.
    void allowOnly(std::initializer_list<const char*> allowed) const
    {
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            if (it.key() == QLatin1String("comment"))
                continue;
            bool known = false;
            for (const char* name : allowed)
                known = known || it.key() == QLatin1String(name);
            if (!known)
                fail(QStringLiteral("%1 は使えない項目名です").arg(path(it.key())));
        }
    }

    Node object(const QString& key) const
    {
        const QJsonValue v = required(key);
        if (!v.isObject())
            fail(QStringLiteral("%1 はオブジェクト ({ }) で指定してください").arg(path(key)));
        return Node(v.toObject(), path(key));
    }

    QJsonArray array(const QString& key) const
    {
        const QJsonValue v = required(key);
        if (!v.isArray())
            fail(QStringLiteral("%1 は配列 ([ ]) で指定してください").arg(path(key)));
        return v.toArray();
    }

    double number(const QString& key) const
    {
        const QJsonValue v = required(key);
        if (!v.isDouble())
            fail(QStringLiteral("%1 は数値で指定してください").arg(path(key)));
        return v.toDouble();
    }

    double nonNegative(const QString& key) const
    {
        const double v = number(key);
        if (v < 0)
            fail(QStringLiteral("%1 は 0 以上の数値で指定してください").arg(path(key)));
        return v;
    }

    double positive(const QString& key) const
    {
        const double v = number(key);
        if (!(v > 0))
            fail(QStringLiteral("%1 は 0 より大きい数値で指定してください").arg(path(key)));
        return v;
    }

    double positive(const QString& key, double fallback) const { return has(key) ? positive(key) : fallback; }
    double nonNegative(const QString& key, double fallback) const { return has(key) ? nonNegative(key) : fallback; }

    // A font size in points; absent gives `fallback`.
    double fontSize(const QString& key, double fallback) const
    {
        if (!has(key))
            return fallback;
        const double v = number(key);
        if (!(v >= kMinFontSize && v <= kMaxFontSize))
            fail(QStringLiteral("%1 は %2 以上 %3 以下のポイント数で指定してください")
                     .arg(path(key), plx::number(kMinFontSize), plx::number(kMaxFontSize)));
        return v;
    }

    int column(const QString& key) const
    {
        const QJsonValue v = required(key);
        const double d = v.toDouble(-1);
        if (!v.isDouble() || d < 1 || d > kMaxColumn || std::floor(d) != d)
            fail(QStringLiteral("%1 は 1 以上の整数で指定してください").arg(path(key)));
        return int(d);
    }

    QString string(const QString& key) const
    {
        const QJsonValue v = required(key);
        if (!v.isString())
            fail(QStringLiteral("%1 は文字列 (\"…\") で指定してください").arg(path(key)));
        return v.toString();
    }

    QString string(const QString& key, const QString& fallback) const { return has(key) ? string(key) : fallback; }

    bool boolean(const QString& key, bool fallback) const
    {
        if (!has(key))
            return fallback;
        const QJsonValue v = value(key);
        if (!v.isBool())
            fail(QStringLiteral("%1 は true か false で指定してください").arg(path(key)));
        return v.toBool();
    }

    // One of a fixed set of words; absent gives `fallback`.
    template <typename T>
    T choice(const QString& key, std::initializer_list<std::pair<const char*, T>> words, T fallback) const
    {
        if (!has(key))
            return fallback;
        const QString word = string(key);
        QStringList names;
        for (const auto& [name, result] : words) {
            if (word == QLatin1String(name))
                return result;
            names.append(QLatin1String(name));
        }
        fail(QStringLiteral("%1 の \"%2\" は使えません (%3 のいずれか)").arg(path(key), word, names.join(u", ")));
    }

private:
    QJsonValue required(const QString& key) const
    {
        if (!m_object.contains(key))
            fail(QStringLiteral("%1 がありません").arg(path(key)));
        return m_object.value(key);
    }

    QJsonObject m_object;
    QString m_path;
};

QPageSize pageSize(const Node& page)
{
    if (page.has(QStringLiteral("size"))) {
        if (page.has(QStringLiteral("width")) || page.has(QStringLiteral("height")))
            fail(QStringLiteral("%1 は size か width・height のどちらか一方で指定してください").arg(page.where()));
        const QString name = page.string(QStringLiteral("size"));
        static const std::pair<const char*, QPageSize::PageSizeId> sizes[] = {
            {"A3", QPageSize::A3},    {"A4", QPageSize::A4},         {"A5", QPageSize::A5},
            {"A6", QPageSize::A6},    {"B4", QPageSize::JisB4},      {"B5", QPageSize::JisB5},
            {"B6", QPageSize::JisB6}, {"Letter", QPageSize::Letter}, {"Legal", QPageSize::Legal},
        };
        for (const auto& [word, id] : sizes) {
            if (name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
                return QPageSize(id);
        }
        fail(QStringLiteral("%1 の \"%2\" は使えません (A3, A4, A5, A6, B4, B5, B6, Letter, Legal のいずれか、"
                            "または width と height を mm で指定してください)")
                 .arg(page.path(QStringLiteral("size")), name));
    }
    if (!page.has(QStringLiteral("width")) && !page.has(QStringLiteral("height")))
        fail(QStringLiteral("%1 がありません (A4 などの用紙名か、width と height を mm で指定してください)")
                 .arg(page.path(QStringLiteral("size"))));
    const double width = page.positive(QStringLiteral("width"));
    const double height = page.positive(QStringLiteral("height"));
    return QPageSize(QSizeF(width, height), QPageSize::Millimeter, QStringLiteral("custom"), QPageSize::ExactMatch);
}

Qt::Alignment horizontalAlignment(const Node& node)
{
    return node.choice<Qt::Alignment>(
        QStringLiteral("align"), {{"left", Qt::AlignLeft}, {"center", Qt::AlignHCenter}, {"right", Qt::AlignRight}},
        Qt::AlignLeft);
}

Qt::PenStyle penStyle(const Node& node)
{
    return node.choice<Qt::PenStyle>(QStringLiteral("style"),
                                     {{"solid", Qt::SolidLine}, {"dash", Qt::DashLine}, {"dot", Qt::DotLine}},
                                     Qt::SolidLine);
}

QColor fillColour(const Node& node)
{
    if (!node.has(QStringLiteral("fill")))
        return {};
    const QString text = node.string(QStringLiteral("fill"));
    bool ok = text.size() == 7 && text.startsWith(u'#');
    const uint rgb = ok ? text.mid(1).toUInt(&ok, 16) : 0;
    if (!ok)
        fail(QStringLiteral("%1 は \"#RRGGBB\" の形 (例: \"#E0E0E0\") で指定してください")
                 .arg(node.path(QStringLiteral("fill"))));
    return QColor::fromRgb(QRgb(rgb));
}

QRectF itemRect(const Node& node)
{
    return QRectF(node.nonNegative(QStringLiteral("x")), node.nonNegative(QStringLiteral("y")),
                  node.positive(QStringLiteral("width")), node.positive(QStringLiteral("height")));
}

void readTextStyle(const Node& node, LayoutItem& item)
{
    item.fontSize = node.fontSize(QStringLiteral("size"), ReportLayout::kDefaultFontSize);
    item.minFontSize = node.fontSize(QStringLiteral("minSize"), 0.0);
    if (item.minFontSize > item.fontSize)
        fail(QStringLiteral("%1 は size 以下の値で指定してください").arg(node.path(QStringLiteral("minSize"))));
    item.bold = node.boolean(QStringLiteral("bold"), false);
    item.hAlign = horizontalAlignment(node);
    item.vAlign = node.choice<Qt::Alignment>(
        QStringLiteral("valign"), {{"top", Qt::AlignTop}, {"center", Qt::AlignVCenter}, {"bottom", Qt::AlignBottom}},
        Qt::AlignVCenter);
    item.wrap = node.boolean(QStringLiteral("wrap"), false);
}

LayoutItem readItem(const Node& node)
{
    LayoutItem item;
    const QString kind = node.string(QStringLiteral("kind"));
    if (kind == QLatin1String("text")) {
        node.allowOnly(
            {"kind", "x", "y", "width", "height", "text", "size", "minSize", "bold", "align", "valign", "wrap"});
        item.kind = LayoutItem::Kind::Text;
        item.rect = itemRect(node);
        item.text = node.string(QStringLiteral("text"));
        readTextStyle(node, item);
    } else if (kind == QLatin1String("field")) {
        node.allowOnly({"kind", "x", "y", "width", "height", "column", "size", "minSize", "bold", "align", "valign",
                        "wrap", "format"});
        item.kind = LayoutItem::Kind::Field;
        item.rect = itemRect(node);
        item.column = node.column(QStringLiteral("column"));
        readTextStyle(node, item);
        item.format = node.choice<FieldFormat>(
            QStringLiteral("format"),
            {{"trim", FieldFormat::Trim}, {"raw", FieldFormat::Raw}, {"number", FieldFormat::Number}},
            FieldFormat::Trim);
    } else if (kind == QLatin1String("box")) {
        node.allowOnly({"kind", "x", "y", "width", "height", "line", "fill", "style"});
        item.kind = LayoutItem::Kind::Box;
        item.rect = itemRect(node);
        item.penWidth = node.nonNegative(QStringLiteral("line"), item.penWidth);
        item.penStyle = penStyle(node);
        item.fill = fillColour(node);
    } else if (kind == QLatin1String("line")) {
        node.allowOnly({"kind", "x1", "y1", "x2", "y2", "line", "style"});
        item.kind = LayoutItem::Kind::Line;
        item.line = QLineF(node.nonNegative(QStringLiteral("x1")), node.nonNegative(QStringLiteral("y1")),
                           node.nonNegative(QStringLiteral("x2")), node.nonNegative(QStringLiteral("y2")));
        item.penWidth = node.positive(QStringLiteral("line"), item.penWidth);
        item.penStyle = penStyle(node);
    } else if (kind == QLatin1String("barcode")) {
        node.allowOnly({"kind", "x", "y", "width", "height", "column", "module", "minModule", "ratio", "align",
                        "textColumn", "textSize"});
        item.kind = LayoutItem::Kind::Barcode;
        item.rect = itemRect(node);
        item.column = node.column(QStringLiteral("column"));
        item.moduleWidth = node.positive(QStringLiteral("module"), item.moduleWidth);
        item.minModuleWidth =
            node.positive(QStringLiteral("minModule"), std::min(item.minModuleWidth, item.moduleWidth));
        if (item.minModuleWidth > item.moduleWidth)
            fail(QStringLiteral("%1 は module 以下の値で指定してください").arg(node.path(QStringLiteral("minModule"))));
        item.wideRatio = node.positive(QStringLiteral("ratio"), item.wideRatio);
        if (item.wideRatio < kMinWideRatio || item.wideRatio > kMaxWideRatio)
            fail(QStringLiteral("%1 は %2 以上 %3 以下の値で指定してください")
                     .arg(node.path(QStringLiteral("ratio")), number(kMinWideRatio), number(kMaxWideRatio)));
        item.hAlign = horizontalAlignment(node);
        if (node.has(QStringLiteral("textColumn")))
            item.textColumn = node.column(QStringLiteral("textColumn"));
        item.textSize = node.fontSize(QStringLiteral("textSize"), item.textSize);
    } else {
        fail(QStringLiteral("%1 の \"%2\" は使えません (text, field, box, line, barcode のいずれか)")
                 .arg(node.path(QStringLiteral("kind")), kind));
    }
    return item;
}

// The lowest point an item reaches below the slot's top, in mm.
double itemBottom(const LayoutItem& item)
{
    if (item.kind == LayoutItem::Kind::Line)
        return std::max(item.line.y1(), item.line.y2());
    double bottom = item.rect.bottom();
    if (item.kind == LayoutItem::Kind::Barcode && item.textColumn > 0)
        bottom += kBarcodeTextGapMm + item.readableLineHeight();
    return bottom;
}

double itemRight(const LayoutItem& item)
{
    if (item.kind == LayoutItem::Kind::Line)
        return std::max(item.line.x1(), item.line.x2());
    return item.rect.right();
}

void readLayout(const QJsonObject& root, ReportLayout& layout)
{
    const Node top(root, QString());
    top.allowOnly({"version", "name", "page", "slot", "slots", "font", "items"});

    const QJsonValue version = top.value(QStringLiteral("version"));
    if (!top.has(QStringLiteral("version")))
        fail(QStringLiteral("version がありません (この形式の版 %1 を指定してください)").arg(ReportLayout::kVersion));
    if (!version.isDouble() || version.toDouble() != ReportLayout::kVersion)
        fail(QStringLiteral("version %1 には対応していません (%2 を指定してください)")
                 .arg(version.isDouble() ? number(version.toDouble()) : QStringLiteral("(数値以外)"))
                 .arg(ReportLayout::kVersion));
    layout.version = ReportLayout::kVersion;
    layout.name = top.string(QStringLiteral("name"), QString());
    layout.fontFamily = top.string(QStringLiteral("font"), layout.fontFamily);
    if (layout.fontFamily.trimmed().isEmpty())
        fail(QStringLiteral("font は書体名で指定してください"));

    const Node page = top.object(QStringLiteral("page"));
    page.allowOnly({"size", "width", "height", "orientation"});
    layout.pageSize = pageSize(page);
    layout.orientation = page.choice<QPageLayout::Orientation>(
        QStringLiteral("orientation"), {{"portrait", QPageLayout::Portrait}, {"landscape", QPageLayout::Landscape}},
        QPageLayout::Portrait);
    const QSizeF sheet = layout.sheetSize();

    const Node slot = top.object(QStringLiteral("slot"));
    slot.allowOnly({"width", "height"});
    layout.slotSize = QSizeF(slot.positive(QStringLiteral("width")), slot.positive(QStringLiteral("height")));

    const QJsonArray origins = top.array(QStringLiteral("slots"));
    if (origins.isEmpty())
        fail(QStringLiteral("slots には 1 つ以上の枠の位置 ({ \"x\": 0, \"y\": 0 }) を指定してください"));
    for (qsizetype i = 0; i < origins.size(); ++i) {
        const QString path = QStringLiteral("slots[%1]").arg(i);
        if (!origins[i].isObject())
            fail(QStringLiteral("%1 はオブジェクト ({ \"x\": …, \"y\": … }) で指定してください").arg(path));
        const Node origin(origins[i].toObject(), path);
        origin.allowOnly({"x", "y"});
        const QPointF at(origin.nonNegative(QStringLiteral("x")), origin.nonNegative(QStringLiteral("y")));
        if (at.x() + layout.slotSize.width() > sheet.width() + kTolerance ||
            at.y() + layout.slotSize.height() > sheet.height() + kTolerance)
            fail(QStringLiteral("%1 の枠 (%2, %3 から幅 %4 × 高さ %5 mm) が用紙 (%6 × %7 mm) からはみ出しています")
                     .arg(path, number(at.x()), number(at.y()), number(layout.slotSize.width()),
                          number(layout.slotSize.height()), number(sheet.width()), number(sheet.height())));
        layout.slotOrigins.append(at);
    }

    const QJsonArray items = top.array(QStringLiteral("items"));
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString path = QStringLiteral("items[%1]").arg(i);
        if (!items[i].isObject())
            fail(QStringLiteral("%1 はオブジェクト ({ \"kind\": …, … }) で指定してください").arg(path));
        const LayoutItem item = readItem(Node(items[i].toObject(), path));
        if (itemRight(item) > layout.slotSize.width() + kTolerance ||
            itemBottom(item) > layout.slotSize.height() + kTolerance)
            fail(QStringLiteral("%1 が枠 (幅 %2 × 高さ %3 mm) からはみ出しています (右端 %4 mm、下端 %5 mm)")
                     .arg(path, number(layout.slotSize.width()), number(layout.slotSize.height()),
                          number(itemRight(item)), number(itemBottom(item))));
        layout.items.append(item);
    }
}

} // namespace

bool LayoutReader::read(const QString& path, ReportLayout& layout, QString& error)
{
    QByteArray bytes;
    if (!LayoutJson::load(path, bytes, error))
        return false;
    return parse(bytes, QFileInfo(path).fileName(), layout, error);
}

bool LayoutReader::parse(const QByteArray& bytes, const QString& fileName, ReportLayout& layout, QString& error)
{
    QJsonObject root;
    QString problem;
    if (!LayoutJson::parse(bytes, root, problem)) {
        error = LayoutJson::message(fileName, problem);
        return false;
    }
    ReportLayout result;
    try {
        readLayout(root, result);
    } catch (const LayoutProblem& refused) {
        error = LayoutJson::message(fileName, refused.text);
        return false;
    }
    layout = std::move(result);
    return true;
}

} // namespace plx
