#pragma once

// Window placement arithmetic, kept apart from the window calls so that it can
// be checked on its own. Every division truncates toward zero, as in Windows'
// own centring of dialogs.

struct LayoutRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct LayoutPoint {
    int x;
    int y;
};

// The top-left corner that centres a width x height window on the reference
// rectangle, moved back inside the area when it would stick out: a window
// larger than the area lines up with the area's left and top edges.
inline LayoutPoint CentredOrigin(const LayoutRect& reference, const LayoutRect& area, int width, int height) {
    LayoutPoint origin{(reference.left + reference.right) / 2 - width / 2,
                       (reference.top + reference.bottom) / 2 - height / 2};
    if (origin.x < area.left) {
        origin.x = area.left;
    } else if (origin.x + width > area.right) {
        origin.x = area.right - width;
    }
    if (origin.y < area.top) {
        origin.y = area.top;
    } else if (origin.y + height > area.bottom) {
        origin.y = area.bottom - height;
    }
    return origin;
}

// Where a minimised window draws its icon along one axis of its client area;
// negative when the icon is wider than the area.
inline int MinimisedIconOffset(int clientExtent, int iconExtent) {
    return (clientExtent - iconExtent + 1) / 2;
}
