// Reads an output document back with libxml2 itself, attribute by attribute in document order.
#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct XmlNode {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;  // UTF-8, in document order
    std::vector<XmlNode> children;                                // elements only
    bool hasText = false;                                         // any text or other node between elements
};

inline XmlNode readNode(xmlNode* node) {
    XmlNode out{reinterpret_cast<const char*>(node->name), {}, {}, false};
    for (xmlAttr* a = node->properties; a; a = a->next) {
        xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
        out.attributes.emplace_back(reinterpret_cast<const char*>(a->name),
                                    value ? reinterpret_cast<const char*>(value) : "");
        xmlFree(value);
    }
    for (xmlNode* c = node->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) {
            out.children.push_back(readNode(c));
        } else {
            out.hasText = true;
        }
    }
    return out;
}

// The root element of a file, with everything below it.
inline XmlNode readRoot(const std::filesystem::path& file) {
    xmlDocPtr doc = xmlReadFile(file.c_str(), nullptr, XML_PARSE_NONET);
    if (!doc) return {};
    XmlNode root = readNode(xmlDocGetRootElement(doc));
    xmlFreeDoc(doc);
    return root;
}

}  // namespace testing_support
