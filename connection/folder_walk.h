#pragma once
// What the two folder walks share: the page they work for, the depth bound, the check after
// each blocking call, and the log line of an item passed over.
#include <functional>
#include <string>

#include "connection/page_lifetime.h"

class Tfb;

// The deepest level a walk enters below its top folder. A server that lists a folder inside
// itself, or a local tree looped by a mount, ends there with an error instead of walking on.
inline constexpr int kMaxFolderDepth = 64;

class TFolderWalk {
  public:
    // Sets the page's transfer type for a file by its extension (with its dot; empty for
    // none).
    using ApplyType = std::function<void(const std::string& extension)>;

    // `page` must outlive the walk; `applyType` is the page's ApplyTransferType.
    TFolderWalk(Tfb& page, ApplyType applyType);
    TFolderWalk(const TFolderWalk&) = delete;
    TFolderWalk& operator=(const TFolderWalk&) = delete;

  protected:
    // Throws ftp::EIdClosedSocket when the page was closed since the walk began (a blocking
    // call or a pump let the close in): the walk touches nothing of the page any more.
    void CheckOpen() const;
    // Throws ftp::EIdException naming `folder` when `depth` is past kMaxFolderDepth.
    static void CheckDepth(int depth, const std::string& folder);
    // An information line of the page's log about an item the walk passes over.
    void LogSkipped(const std::string& path, const std::string& why);
    // The extension of a file name, from its last dot ("a.tar.gz" -> ".gz"; none: "").
    static std::string ExtensionOf(const std::string& name);

    Tfb& page_;
    ApplyType applyType_;

  private:
    TPageLifetime::Run run_;
};
