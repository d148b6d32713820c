#pragma once

#include <memory>

#include "preview/ruled_file_system.h"

namespace preview {

class ChangeOverlay;

// A file system that reads through to another and keeps every change in
// memory: nothing on the other one changes. What it would refuse it learns
// from the other one (what stands at a path, whether a folder lets this
// user change its entries, which spellings name the same entry), and it
// refuses it as the system does, in the system's words. Every preview is
// the real code run on one of these.
class SimulatedFileSystem : public RuledFileSystem {
  public:
    explicit SimulatedFileSystem(platform::FileSystem& base);
    ~SimulatedFileSystem() override;

  private:
    explicit SimulatedFileSystem(std::unique_ptr<ChangeOverlay> changes);

    std::unique_ptr<ChangeOverlay> changes_;
};

}  // namespace preview
