// The small services the system commands need: the command line, the window title and close
// prompt, system properties by name and launching programs, documents and URLs.
#pragma once

#include <string>
#include <string_view>

namespace tx {

class VideoDevice;

class SystemServices {
public:
    SystemServices(std::string_view commandLine, VideoDevice& video)
        : commandLine_(commandLine), video_(video) {}

    const std::string& commandLine() const { return commandLine_; }

    // The window's title, and the question asked before the window closes ("" asks nothing).
    void setTitle(std::string_view title, std::string_view closePrompt);
    const std::string& title() const { return title_; }
    const std::string& closePrompt() const { return closePrompt_; }

    // Facts about the machine and its standard folders ("cpu", "os", "appdir", "windowsdir",
    // "systemdir", "tempdir", any case); "" for other names.
    std::string systemProperty(std::string_view name) const;

    // Starts a program, or opens a document or URL, without waiting; false when it cannot.
    bool execFile(std::string_view command);

private:
    std::string commandLine_;
    std::string title_;
    std::string closePrompt_;
    VideoDevice& video_;
};

}  // namespace tx
