#include "ItemTable.h"

namespace plx {

namespace {

enum class State { Outside, Quoted, Closed };

// Walks the line's fields; `take` gets each completed field and whether it is
// the one left pending at the end of the line, and may return false to stop the
// walk. Returns false when stopped.
template <typename Take> bool walkFields(QStringView line, Take take)
{
    State state = State::Outside;
    QString field;
    for (QChar c : line) {
        switch (state) {
        case State::Outside:
            if (c == QLatin1Char('"'))
                state = State::Quoted;
            else if (c == QLatin1Char(',')) {
                if (!take(field, false))
                    return false;
                field.clear();
            } else
                field += c;
            break;
        case State::Quoted:
            if (c == QLatin1Char('"'))
                state = State::Closed;
            else
                field += c;
            break;
        case State::Closed:
            if (c == QLatin1Char('"')) {
                state = State::Quoted;
                field += c;
            } else if (c == QLatin1Char(',')) {
                if (!take(field, false))
                    return false;
                field.clear();
                state = State::Outside;
            } else
                field += c;
            break;
        }
    }
    if (!field.isEmpty())
        return take(field, true);
    return true;
}

} // namespace

QStringList splitCsvLine(QStringView line)
{
    QStringList fields;
    walkFields(line, [&](const QString& f, bool) {
        fields.append(f);
        return true;
    });
    return fields;
}

void ItemTable::clear()
{
    m_names.clear();
    m_values.clear();
}

QString ItemTable::value(int row) const
{
    return row >= 1 && row <= m_values.size() ? m_values.at(row - 1) : QString();
}

bool ItemTable::loadPairs(QStringView line)
{
    clear();
    bool nameNext = true;
    const bool complete = walkFields(line, [&](const QString& f, bool pendingAtEnd) {
        if (nameNext) {
            if (m_names.size() >= kCapacity)
                return false;
            // The field left at the end of the line is a value: of a new row
            // without a name when the last pair was complete.
            m_names.append(pendingAtEnd ? QString() : f);
            m_values.append(pendingAtEnd ? f : QString());
        } else {
            m_values.last() = f;
        }
        nameNext = !nameNext;
        return true;
    });
    return !complete;
}

bool ItemTable::loadHeader(QStringView header, QStringView line)
{
    QStringList names;
    const bool complete = walkFields(header, [&](const QString& f, bool) {
        if (names.size() >= kCapacity)
            return false;
        names.append(f);
        return true;
    });
    if (!complete) {
        clear();
        m_names = names;
        return true;
    }
    return loadHeader(names, line);
}

bool ItemTable::loadHeader(const QStringList& headerFields, QStringView line)
{
    clear();
    m_names = headerFields.mid(0, kCapacity);
    for (qsizetype i = 0; i < m_names.size(); ++i)
        m_values.append(QString());
    if (headerFields.size() > kCapacity)
        return true;
    int next = 0;
    const bool complete = walkFields(line, [&](const QString& f, bool) {
        if (next >= kCapacity || next >= m_names.size())
            return false;
        m_values[next++] = f;
        return true;
    });
    return !complete;
}

int ItemTable::findLast(QStringView name) const
{
    for (qsizetype i = m_names.size(); i > 0; --i) {
        if (m_names.at(i - 1) == name)
            return int(i);
    }
    return 0;
}

} // namespace plx
