// What every benchmark reports: a ratio of two things measured in pairs, one
// right after the other, so that the load others put on the machine meets
// both sides of a pair alike. The figure is the median of the pairs' ratios,
// with their quartiles as the spread; the two sides' own medians are only
// context.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace ombrel::bench {

// The value at fraction `q` (0..1) of the samples, interpolated between
// neighbours in sorted order; 0 for none.
inline double Quantile(std::vector<double> samples, double q) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const double at = q * static_cast<double>(samples.size() - 1);
  const auto below = static_cast<std::size_t>(at);
  const std::size_t above = std::min(below + 1, samples.size() - 1);
  return samples[below] + (samples[above] - samples[below]) * (at - static_cast<double>(below));
}

struct Summary {
  double median = 0;
  double low = 0;   // first quartile
  double high = 0;  // third quartile
};

inline Summary Summarize(const std::vector<double>& samples) {
  return {Quantile(samples, 0.5), Quantile(samples, 0.25), Quantile(samples, 0.75)};
}

// Pairs of costs (times) of the thing measured and of its floor, taken one
// right after the other.
struct Pairs {
  std::vector<double> measured;
  std::vector<double> floor;

  void Add(double measuredCost, double floorCost) {
    measured.push_back(measuredCost);
    floor.push_back(floorCost);
  }
  // measured / floor, pair by pair.
  [[nodiscard]] std::vector<double> Ratios() const {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < measured.size() && i < floor.size(); ++i) {
      if (floor[i] > 0) ratios.push_back(measured[i] / floor[i]);
    }
    return ratios;
  }
};

// The largest ratio that meets an aim, and how the aim reads.
struct Aim {
  double limit = 0;  // 0: the figure has no aim of its own
  bool strict = false;
  const char* text = "—";
  [[nodiscard]] bool MetBy(double ratio) const { return strict ? ratio < limit : ratio <= limit; }
};

// A value with three significant digits at most, never in exponent form.
inline std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, value < 10 ? "%.2f" : value < 100 ? "%.1f" : "%.0f", value);
  return text;
}

// "12.3 ms (12.1–12.6)": a median with its quartiles.
inline std::string MedianText(const Summary& s, const char* unit) {
  return Number(s.median) + " " + unit + " (" + Number(s.low) + "–" + Number(s.high) + ")";
}

// One row of the figures table in Markdown:
// | what | ratio (median) | spread (quartiles) | aim | met | context |
inline std::string FigureRow(const std::string& what, const std::vector<double>& ratios, const Aim& aim,
                             const std::string& context) {
  const Summary ratio = Summarize(ratios);
  const char* met = aim.limit <= 0 ? "—" : aim.MetBy(ratio.median) ? "yes" : "**no**";
  char row[160];
  std::snprintf(row, sizeof row, " | %.2f | %.2f–%.2f | %s | %s | ", ratio.median, ratio.low, ratio.high,
                aim.text, met);
  return "| " + what + row + context + " |";
}

// The row for pairs of times: the context is both sides' medians.
inline std::string TimeRow(const std::string& what, const Pairs& pairs, const Aim& aim, const char* unit) {
  return FigureRow(what, pairs.Ratios(), aim,
                   MedianText(Summarize(pairs.measured), unit) + " vs " +
                       MedianText(Summarize(pairs.floor), unit) + ", " +
                       std::to_string(pairs.Ratios().size()) + " pairs");
}

}  // namespace ombrel::bench
