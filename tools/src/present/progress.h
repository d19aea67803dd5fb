#pragma once

// A progress bar on a terminal, redrawn about a hundred times in all: a terminal redrawn per
// step slows a large job down.

#include <cstdint>
#include <ostream>
#include <string>

namespace xsect::cli {

class ProgressBar {
public:
    // Draws nothing unless enabled.
    ProgressBar(std::ostream& out, bool enabled, std::string what) : out_(out), enabled_(enabled), what_(std::move(what)) {}
    void Update(std::uint64_t done, std::uint64_t total);
    // Ends the bar's line if one was drawn.
    void Finish();

private:
    std::ostream& out_;
    bool enabled_;
    std::string what_;
    int shown_ = -1;  // percent last drawn
};

}  // namespace xsect::cli
