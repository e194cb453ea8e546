#include "builder/ui/file_filter.h"

#include <cstring>

namespace kestrel {
namespace {

struct KnownFileType {
    const char* pattern;
    const char* description;
};

// Descriptions as the dialogs have always shown them, typos included
// ("*psd", "*.pict" for "*.pct"): users know them by these texts.
constexpr KnownFileType kKnownFileTypes[] = {
    {"*.aiff", "AIFF (*.aiff)"},
    {"*.script", "Apple Script (*.script)"},
    {"*.avi", "AVI (*.avi)"},
    {"*.bin", "Binary (*.bin)"},
    {"*.bmp", "Bitmap (*.bmp)"},
    {"*.doc", "Microsoft Word Document (*.doc)"},
    {"*.dvc", "DVC (*.dvc)"},
    {"*.fla", "Flash Movie (*.fla)"},
    {"*.flc", "FLC (*.flc)"},
    {"*.flv", "FLV (*.flv)"},
    {"*.gif", "GIF (*.gif)"},
    {"*.ico", "Windows Icon (*.ico)"},
    {"*.icns", "Icon (*.icns)"},
    {"*.jpg", "JPEG (*.jpg)"},
    {"*.midi", "Midi (*.midi)"},
    {"*.mov", "QuickTime Movie (*.mov)"},
    {"*.mp3", "MP3 (*.mp3)"},
    {"*.mpg", "MPEG (*.mpg)"},
    {"*.mp4", "MPEG-4 (*.mp4)"},
    {"*.pdf", "PDF (*.pdf)"},
    {"*.pct", "PICT (*.pict)"},
    {"*.png", "PNG (*.png)"},
    {"*.psd", "Photoshop (*psd)"},
    {"*.kstl", "Kestrel Project (*.kstl)"},
    {"*.swf", "Flash Animation (*.swf)"},
    {"*.tif", "TIFF (*.tiff)"},
    {"*.tga", "Targa (*.tga)"},
    {"*.txt", "Text (*.txt)"},
    {"*.wav", "Wave (*.wav)"},
    {"*.wmv", "Windows Media Video (*.wmv)"},
};

}  // namespace

std::string KnownFileTypeDescription(const std::string& pattern) {
    for (const KnownFileType& type : kKnownFileTypes) {
        if (pattern == type.pattern) return type.description;
    }
    return {};
}

FileFilter::FileFilter(std::initializer_list<const char*> patterns, bool allFiles) {
    for (const char* pattern : patterns) Add(pattern);
    if (allFiles) AddAllFiles();
}

FileFilter& FileFilter::Add(const std::string& pattern) {
    // An empty description would read as the end of the dialog's list.
    const std::string description = KnownFileTypeDescription(pattern);
    return Add(description.empty() ? pattern : description, pattern);
}

FileFilter& FileFilter::Add(const std::string& description, const std::string& pattern) {
    entries_.emplace_back(description, pattern);
    return *this;
}

FileFilter& FileFilter::AddAllFiles() {
    return Add("All Files (*.*)", "*.*");
}

std::vector<std::pair<std::string, std::string>> FileFilter::Entries() const {
    if (entries_.empty()) return {{"All Files(*.*)", "*.*"}};
    return entries_;
}

std::string FileFilter::DialogString() const {
    std::string text;
    for (const auto& [description, pattern] : Entries()) {
        // A zero inside a description would end the list early.
        text.append(description.c_str(), std::strlen(description.c_str()));
        text += '\0';
        text.append(pattern.c_str(), std::strlen(pattern.c_str()));
        text += '\0';
    }
    text += '\0';
    return text;
}

}  // namespace kestrel
