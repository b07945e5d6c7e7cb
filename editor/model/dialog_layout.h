// What the geometry tables of the editor's dialogs share, in twips: a
// dialog that can be sized places each edge of a control at a fixed distance
// from the near (left or top) or the far (right or bottom) edge of its client
// area, and gets it in pixels for the client area it has.
#pragma once

#include "editor/model/layout.h"

namespace ombrel::editor {

enum class From { kNear, kFar };

struct EdgeTwips {
  From from;
  int twips;
};

struct PixelRect {
  int left;
  int top;
  int right;
  int bottom;
};

// Where an edge lies, in pixels, in a client area `size` pixels across (or
// down) at `dpi`.
inline int EdgeAt(EdgeTwips edge, int size, int dpi) {
  const int distance = TwipsToPixels(edge.twips, dpi);
  return edge.from == From::kNear ? distance : size - distance;
}

// A control's rectangle in a client area of `width` x `height` pixels, from
// a table row with the four edges `left`, `top`, `right` and `bottom`.
template <typename Layout>
PixelRect PlaceByEdges(const Layout& control, int width, int height, int dpi) {
  return {EdgeAt(control.left, width, dpi), EdgeAt(control.top, height, dpi),
          EdgeAt(control.right, width, dpi), EdgeAt(control.bottom, height, dpi)};
}

}  // namespace ombrel::editor
