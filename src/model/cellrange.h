#pragma once

/** A rectangle of table cells: rows top to bottom, columns left to right. */
struct CellRange {
    int top = 0;
    int left = 0;
    int bottom = -1;
    int right = -1;

    constexpr int rows() const { return bottom - top + 1; }
    constexpr int cols() const { return right - left + 1; }
    constexpr bool isEmpty() const { return bottom < top || right < left; }
    constexpr int cellCount() const { return isEmpty() ? 0 : rows() * cols(); }
    constexpr bool operator==(const CellRange& other) const
    {
        return top == other.top && left == other.left && bottom == other.bottom &&
               right == other.right;
    }
};
