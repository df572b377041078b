#pragma once
// Collects the problems a check finds, listing at most a fixed number so that a badly damaged
// file gives a readable answer; and, apart from them, the marks of writes that were cut short,
// which are no damage.
#include <string>
#include <vector>

namespace vesktool {

class ProblemList {
  public:
    explicit ProblemList(size_t limit) : limit_(limit) {}
    void Add(std::string problem) {
        if (listed_.size() < limit_)
            listed_.push_back(std::move(problem));
        else
            ++omitted_;
    }
    // A mark of a write cut short (one per table and kind at most, so never many).
    void Interrupted(std::string mark) { interrupted_.push_back(std::move(mark)); }
    bool Empty() const { return listed_.empty(); }
    // The listed problems, then "... and N more problems" when some were left out.
    std::vector<std::string> Take() {
        if (omitted_ > 0)
            listed_.push_back("... and " + std::to_string(omitted_) + " more problems");
        return std::move(listed_);
    }
    std::vector<std::string> TakeInterrupted() { return std::move(interrupted_); }

  private:
    size_t limit_;
    size_t omitted_ = 0;
    std::vector<std::string> listed_;
    std::vector<std::string> interrupted_;
};

}  // namespace vesktool
