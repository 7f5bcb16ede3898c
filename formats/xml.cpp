#include "formats/xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <optional>
#include <string>
#include <utility>

#include "formats/error.h"
#include "formats/files.h"

namespace formats {
namespace {

const xmlChar* xml(std::string_view s, std::string& storage) {
    storage.assign(s);
    return reinterpret_cast<const xmlChar*>(storage.c_str());
}

bool hasName(xmlNode* node, std::string_view name) {
    return node->type == XML_ELEMENT_NODE && reinterpret_cast<const char*>(node->name) == name;
}

std::vector<std::string_view> steps(std::string_view path) {
    std::vector<std::string_view> out;
    while (!path.empty()) {
        if (path.front() == '/') {
            path.remove_prefix(1);
            continue;
        }
        const std::size_t end = path.find('/');
        out.push_back(path.substr(0, end));
        path = end == std::string_view::npos ? std::string_view() : path.substr(end);
    }
    return out;
}

void collect(xmlNode* parent, const std::vector<std::string_view>& path, std::size_t depth,
             std::vector<XmlElement>& out) {
    for (xmlNode* child = parent->children; child; child = child->next) {
        if (!hasName(child, path[depth])) continue;
        if (depth + 1 == path.size()) {
            out.emplace_back(child);
        } else {
            collect(child, path, depth + 1, out);
        }
    }
}

}  // namespace

std::string_view XmlElement::name() const {
    return reinterpret_cast<const char*>(node_->name);
}

bool XmlElement::hasAttribute(std::string_view name) const {
    std::string n;
    return xmlHasProp(node_, xml(name, n)) != nullptr;
}

AnsiString XmlElement::attribute(std::string_view name) const {
    std::string n;
    xmlChar* value = xmlGetProp(node_, xml(name, n));
    if (!value) return AnsiString();
    const AnsiString converted = AnsiString::fromUtf8(trimControl(reinterpret_cast<const char*>(value)));
    xmlFree(value);
    return converted;
}

void XmlElement::setAttribute(std::string_view name, const AnsiString& value) {
    std::string n, v;
    xmlSetProp(node_, xml(name, n), xml(value.toUtf8(), v));
}

XmlElement XmlElement::appendElement(std::string_view name) {
    std::string n;
    xmlNode* child = xmlNewDocNode(node_->doc, nullptr, xml(name, n), nullptr);
    if (!child || !xmlAddChild(node_, child)) throw Error("No hay memoria para crear el elemento " + n);
    return XmlElement(child);
}

XmlDocument XmlDocument::load(const std::filesystem::path& path) {
    return parse(readWholeFile(path), path);
}

XmlDocument XmlDocument::parse(std::string_view text, const std::filesystem::path& shownAs) {
    // The first error is the one that explains the rest; it is kept instead of being printed.
    struct FirstError {
        bool seen = false;
        int line = 0;
        std::string words;
    } first;
    xmlSetStructuredErrorFunc(&first, [](void* context, xmlErrorPtr err) {
        auto* f = static_cast<FirstError*>(context);
        if (f->seen || err->level < XML_ERR_ERROR) return;
        f->seen = true;
        f->line = err->line;
        f->words = err->message ? err->message : "";
        while (!f->words.empty() && (f->words.back() == '\n' || f->words.back() == ' ')) f->words.pop_back();
    });
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    xmlDocPtr doc = nullptr;
    bool wellFormed = false;
    if (ctxt) {
        // No XML_PARSE_NOENT, DTDLOAD or HUGE: entities stay unexpanded, nothing external is loaded and the
        // parser's limits against entity expansion hold.
        doc = xmlCtxtReadMemory(ctxt, text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                XML_PARSE_NONET);
        wellFormed = doc && ctxt->wellFormed;
        xmlFreeParserCtxt(ctxt);
    }
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (!wellFormed) {
        if (doc) xmlFreeDoc(doc);
        std::string message = "El archivo \"" + shown(shownAs) + "\" no es un XML bien formado";
        if (first.seen) message += " (línea " + std::to_string(first.line) + "): " + first.words;
        throw Error(message);
    }
    return XmlDocument(doc);
}

XmlDocument::XmlDocument(XmlDocument&& other) noexcept : doc_(std::exchange(other.doc_, nullptr)) {}

XmlDocument& XmlDocument::operator=(XmlDocument&& other) noexcept {
    if (this != &other) {
        if (doc_) xmlFreeDoc(doc_);
        doc_ = std::exchange(other.doc_, nullptr);
    }
    return *this;
}

XmlDocument::~XmlDocument() {
    if (doc_) xmlFreeDoc(doc_);
}

std::vector<XmlElement> XmlDocument::select(std::string_view path) const {
    std::vector<XmlElement> found;
    const auto names = steps(path);
    xmlNode* top = xmlDocGetRootElement(doc_);
    if (names.empty() || !top || !hasName(top, names[0])) return found;
    if (names.size() == 1) {
        found.emplace_back(top);
    } else {
        collect(top, names, 1, found);
    }
    return found;
}

std::optional<XmlElement> XmlDocument::root() const {
    xmlNode* top = xmlDocGetRootElement(doc_);
    if (!top) return std::nullopt;
    return XmlElement(top);
}

XmlElement XmlDocument::replaceRoot(std::string_view name) {
    std::string n;
    xmlNode* fresh = xmlNewDocNode(doc_, nullptr, xml(name, n), nullptr);
    if (!fresh) throw Error("No hay memoria para crear el elemento " + n);
    xmlNode* old = xmlDocGetRootElement(doc_);
    if (old) {
        // Put the new root where the old one stood, so the nodes before and after it keep their places.
        xmlAddNextSibling(old, fresh);
        xmlUnlinkNode(old);
        xmlFreeNode(old);
    } else {
        xmlDocSetRootElement(doc_, fresh);
    }
    return XmlElement(fresh);
}

void XmlDocument::save(const std::filesystem::path& path) const {
    const char* encoding = doc_->encoding ? reinterpret_cast<const char*>(doc_->encoding) : "UTF-8";
    xmlChar* buffer = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc_, &buffer, &size, encoding, 0);
    if (!buffer) {
        throw Error("No se puede escribir \"" + shown(path) + "\" en la codificación " + encoding);
    }
    const std::string bytes(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    xmlFree(buffer);
    writeFile(path, bytes);
}

}  // namespace formats
