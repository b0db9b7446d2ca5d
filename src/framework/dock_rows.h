#pragma once
// The bars a dock bar holds, row by row: each row lists its bars in order along the side,
// and the rows stack across it, first row nearest the frame's edge. A row is never empty:
// the last bar leaving it takes the row with it. Portable (the bar type is a parameter),
// so its bookkeeping is tested natively.

#include <cstddef>
#include <optional>
#include <vector>

template <class Bar>
class DockRows {
public:
    using Row = std::vector<Bar*>;
    struct Position {
        size_t row = 0;
        size_t index = 0; // along the row
    };

    const std::vector<Row>& Rows() const { return m_rows; }
    size_t RowCount() const { return m_rows.size(); }
    const Row& RowAt(size_t row) const { return m_rows[row]; }
    bool Empty() const { return m_rows.empty(); }

    std::optional<Position> Find(const Bar* bar) const {
        for (size_t r = 0; r < m_rows.size(); ++r)
            for (size_t i = 0; i < m_rows[r].size(); ++i)
                if (m_rows[r][i] == bar)
                    return Position{r, i};
        return std::nullopt;
    }
    bool Contains(const Bar* bar) const { return Find(bar).has_value(); }
    // The row holding the bar, or null.
    const Row* RowOf(const Bar* bar) const {
        const std::optional<Position> at = Find(bar);
        return at ? &m_rows[at->row] : nullptr;
    }

    // Every bar, row after row.
    std::vector<Bar*> Bars() const {
        std::vector<Bar*> all;
        for (const Row& row : m_rows)
            all.insert(all.end(), row.begin(), row.end());
        return all;
    }
    size_t Count() const {
        size_t n = 0;
        for (const Row& row : m_rows)
            n += row.size();
        return n;
    }

    // The bar alone in a new row before row `row` (at the end when `row` is past it).
    void InsertRow(size_t row, Bar* bar) {
        row = row < m_rows.size() ? row : m_rows.size();
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(row), Row{bar});
    }
    void AppendRow(Bar* bar) { m_rows.push_back(Row{bar}); }
    // The bar into row `row` before position `index` (at the row's end when past it).
    void InsertInRow(size_t row, size_t index, Bar* bar) {
        Row& r = m_rows.at(row);
        index = index < r.size() ? index : r.size();
        r.insert(r.begin() + static_cast<std::ptrdiff_t>(index), bar);
    }
    // Forgets the bar; a row left empty goes too. False when it was not here.
    bool Remove(const Bar* bar) {
        const std::optional<Position> at = Find(bar);
        if (!at)
            return false;
        Row& r = m_rows[at->row];
        r.erase(r.begin() + static_cast<std::ptrdiff_t>(at->index));
        if (r.empty())
            m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(at->row));
        return true;
    }
    // Wraps row `row`: the bars from `index` on start a new row right after it. Nothing
    // happens when that would leave either row empty.
    void SplitRow(size_t row, size_t index) {
        if (row >= m_rows.size() || index == 0 || index >= m_rows[row].size())
            return;
        Row& r = m_rows[row];
        Row tail(r.begin() + static_cast<std::ptrdiff_t>(index), r.end());
        r.erase(r.begin() + static_cast<std::ptrdiff_t>(index), r.end());
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(row) + 1, std::move(tail));
    }

    bool operator==(const DockRows& o) const { return m_rows == o.m_rows; }
    bool operator!=(const DockRows& o) const { return !(*this == o); }

private:
    std::vector<Row> m_rows;
};
