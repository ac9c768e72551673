// The verdicts of the check that reads every folder of a disc image in a
// child process before libcdio is trusted with it, kept per user in the
// cache folder ("<cache home>/kelmor/checked-images"), so that an image is
// checked once, not at every launch.
//
// A verdict names the files that make the image (an ".iso"; a ".cue" and
// its data track's file) by device and inode, and holds the size and
// modification time each had when it passed; a file changed since, or a
// verdict file that says anything else, counts as no verdict. Only passes
// are kept: an image that failed (its check may have run out of time on a
// busy machine) is checked again. Keeping a verdict is best effort; one that
// cannot be written is simply not kept.
#pragma once

#include <string>
#include <vector>

namespace kelmor::posix {

class ImageCheckVerdicts {
public:
    // Keeps verdicts in `folder`; an empty folder keeps none.
    explicit ImageCheckVerdicts(std::string folder = {}) : folder_(std::move(folder)) {}

    // Whether the image made of `files` passed the check and none of them
    // has changed since.
    bool passed(const std::vector<std::string>& files) const;

    // Keeps the pass of the image made of `files`, as they are now.
    void keepPass(const std::vector<std::string>& files) const;

private:
    // The verdict file's path and the text that a pass of the files as
    // they are now reads; nothing when a file cannot be looked at.
    struct Verdict {
        std::string path;
        std::string text;
    };
    bool verdictOf(const std::vector<std::string>& files, Verdict& verdict) const;

    std::string folder_;
};

// "<cache home>/kelmor/checked-images": the cache home is `configured` when
// not empty, else $XDG_CACHE_HOME when it is an absolute path, else
// $HOME/.cache.
std::string checkedImagesFolder(const std::string& configured = {});

}  // namespace kelmor::posix
