// XML access over libxml2: the centre document read, and the import document built and saved.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "formats/text.h"

struct _xmlDoc;
struct _xmlNode;

namespace formats {

// An element of a loaded document; valid while its document lives.
class XmlElement {
public:
    explicit XmlElement(_xmlNode* node) : node_(node) {}

    std::string_view name() const;
    // The attribute's value, trimmed of codes 32 or less and converted; empty when the element lacks it.
    AnsiString attribute(std::string_view name) const;
    bool hasAttribute(std::string_view name) const;
    // Sets the attribute (added after the existing ones when new).
    void setAttribute(std::string_view name, const AnsiString& value);
    // A new element appended as this element's last child.
    XmlElement appendElement(std::string_view name);

private:
    _xmlNode* node_;
};

class XmlDocument {
public:
    // Parses the whole file. A file that is not well-formed is an error with the file, the line and the
    // parser's own words. No network, no external DTD or entity, libxml2's entity limits kept.
    static XmlDocument load(const std::filesystem::path& path);
    static XmlDocument parse(std::string_view text, const std::filesystem::path& shownAs);

    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;
    ~XmlDocument();

    // Every element that the absolute element-name path ("/centro/aulas/aula") reaches, across repeated
    // section elements, in document order.
    std::vector<XmlElement> select(std::string_view path) const;
    std::optional<XmlElement> root() const;
    // Replaces the root element by a new, empty one; every node outside the root stays where it was.
    XmlElement replaceRoot(std::string_view name);
    // Saves in the encoding the XML declaration names (UTF-8 without one). The file is written in place:
    // a caller that replaces a document stages it in the work folder's commit (Workspace::stageFile).
    void save(const std::filesystem::path& path) const;

private:
    explicit XmlDocument(_xmlDoc* doc) : doc_(doc) {}
    _xmlDoc* doc_;
};

}  // namespace formats
