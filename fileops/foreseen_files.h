#pragma once

#include <set>
#include <string>

// What a dry run has changed so far: the files it would have made or
// removed, so that its later steps are foreseen as the real run would meet
// them. Names compare ignoring ASCII case, as Windows compares them.
class ForeseenFiles {
  public:
    // True when the file would be there at this point of the run.
    bool Exists(const std::string& path) const;
    void Make(const std::string& path);
    void Remove(const std::string& path);
    void Rename(const std::string& from, const std::string& to) {
        Remove(from);
        Make(to);
    }

  private:
    std::set<std::string> made_;
    std::set<std::string> gone_;
};
