#include "framework/text_fit.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace fw {

namespace {

// One axis of a control: its extent along the axis, its growth, whether it
// keeps to the far edge, and its extent across (which decides its row).
struct Span {
  int start;
  int end;
  int growth;
  bool far;
  int acrossStart;
  int acrossEnd;
};

bool SameRow(const Span& a, const Span& b) {
  return a.acrossStart < b.acrossEnd && b.acrossStart < a.acrossEnd;
}

// The new length of the axis; `spans` get their new start and end.
int FitAxis(int length, std::vector<Span>& spans) {
  if (spans.empty()) {
    return length;
  }
  int nearMargin = spans.front().start;
  int farMargin = length - spans.front().end;
  for (const Span& span : spans) {
    nearMargin = std::min(nearMargin, span.start);
    farMargin = std::min(farMargin, length - span.end);
  }

  // How far each control is pushed by the grown ones before it in its row:
  // towards the far edge for those that keep to the near one, and the other
  // way for those that keep to the far one.
  const std::size_t count = spans.size();
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return spans[a].start < spans[b].start; });
  std::vector<int> push(count, 0);
  for (std::size_t i : order) {
    for (std::size_t j : order) {
      if (!spans[i].far && !spans[j].far && SameRow(spans[i], spans[j]) &&
          spans[j].end <= spans[i].start) {
        push[i] = std::max(push[i], push[j] + spans[j].growth);
      }
    }
  }
  // Those that keep to the far edge are pushed from that edge inwards.
  for (auto i = order.rbegin(); i != order.rend(); ++i) {
    for (auto j = order.rbegin(); j != order.rend(); ++j) {
      if (spans[*i].far && spans[*j].far && SameRow(spans[*i], spans[*j]) &&
          spans[*j].start >= spans[*i].end) {
        push[*i] = std::max(push[*i], push[*j] + spans[*j].growth);
      }
    }
  }

  int grow = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Span& span = spans[i];
    const int moved = push[i] + span.growth;
    if (!span.far) {
      grow = std::max(grow, span.end + moved + farMargin - length);
      // A far control in the same row keeps the gap the template left.
      for (std::size_t k = 0; k < count; ++k) {
        if (spans[k].far && SameRow(span, spans[k]) && span.end <= spans[k].start) {
          grow = std::max(grow, moved + push[k] + spans[k].growth);
        }
      }
    } else {
      grow = std::max(grow, nearMargin - (span.start - moved));
    }
  }

  for (std::size_t i = 0; i < count; ++i) {
    Span& span = spans[i];
    if (span.far) {
      const int size = span.end - span.start + span.growth;
      span.end += grow - push[i];
      span.start = span.end - size;
    } else {
      span.start += push[i];
      span.end += push[i] + span.growth;
    }
  }
  return length + grow;
}

// The rectangles' edges along one axis (`start`, `end`) fitted to what the
// texts need that way; the other edges say which controls share a row.
int FitRectsAlong(int length, const std::vector<FitControl>& controls, std::vector<CRect>& rects,
                  LONG RECT::*start, LONG RECT::*end, LONG RECT::*acrossStart,
                  LONG RECT::*acrossEnd, int FitControl::*needed) {
  std::vector<Span> spans;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const CRect& rect = rects[i];
    const int size = rect.*end - rect.*start;
    const bool far = controls[i].isButton && rect.*start + rect.*end > length;
    spans.push_back({rect.*start, rect.*end, std::max(0, controls[i].*needed - size), far,
                     rect.*acrossStart, rect.*acrossEnd});
  }
  const int fitted = FitAxis(length, spans);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    rects[i].*start = spans[i].start;
    rects[i].*end = spans[i].end;
  }
  return fitted;
}

}  // namespace

FittedDialog FitControlsToText(int clientWidth, int clientHeight,
                               const std::vector<FitControl>& controls) {
  FittedDialog fitted{clientWidth, clientHeight, {}};
  for (const FitControl& control : controls) {
    fitted.rects.push_back(control.rect);
  }
  // Across, then down: a text grown wider may then stand above a button.
  fitted.clientWidth = FitRectsAlong(clientWidth, controls, fitted.rects, &RECT::left, &RECT::right,
                                     &RECT::top, &RECT::bottom, &FitControl::neededWidth);
  fitted.clientHeight =
      FitRectsAlong(clientHeight, controls, fitted.rects, &RECT::top, &RECT::bottom, &RECT::left,
                    &RECT::right, &FitControl::neededHeight);
  return fitted;
}

}  // namespace fw
