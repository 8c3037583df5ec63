#pragma once

#include <algorithm>

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
    /** The cells that lie in both ranges (empty when they do not meet). */
    constexpr CellRange intersected(const CellRange& other) const
    {
        return {std::max(top, other.top), std::max(left, other.left),
                std::min(bottom, other.bottom), std::min(right, other.right)};
    }
    constexpr bool operator==(const CellRange& other) const
    {
        return top == other.top && left == other.left && bottom == other.bottom &&
               right == other.right;
    }
};
