// Where a minimised dialog draws its icon: centred in the client area.
#pragma once

struct IconPosition {
    int x;
    int y;
};

// (client - icon + 1) / 2 on each axis, truncating toward zero like C's division.
inline IconPosition CentreIcon(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
