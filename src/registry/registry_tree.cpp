#include "registry/registry_tree.h"

#include <algorithm>

namespace kuzelna {

int RegistryNode::level() const {
    int depth = -1;
    for (const RegistryNode* node = parent; node; node = node->parent)
        ++depth;
    return depth;
}

RegistryNode* RegistryTree::appendChild(RegistryNode* parent, std::string line) {
    RegistryNode* owner = parentOrTop(parent);
    auto node = std::make_unique<RegistryNode>();
    node->line = std::move(line);
    node->parent = owner;
    owner->children.push_back(std::move(node));
    return owner->children.back().get();
}

RegistryNode* RegistryTree::insertFirstChild(RegistryNode* parent, std::string line) {
    RegistryNode* owner = parentOrTop(parent);
    auto node = std::make_unique<RegistryNode>();
    node->line = std::move(line);
    node->parent = owner;
    owner->children.insert(owner->children.begin(), std::move(node));
    return owner->children.front().get();
}

void RegistryTree::remove(RegistryNode* node) {
    if (!node || !node->parent) return;
    auto& siblings = node->parent->children;
    std::erase_if(siblings, [node](const auto& child) { return child.get() == node; });
}

namespace {

void sortChildren(RegistryNode& node, const LineLess& less) {
    std::stable_sort(node.children.begin(), node.children.end(),
                     [&less](const auto& a, const auto& b) { return less(a->line, b->line); });
}

void sortRecursively(RegistryNode& node, const LineLess& less) {
    sortChildren(node, less);
    for (auto& child : node.children)
        sortRecursively(*child, less);
}

void visitRecursively(const RegistryNode& node, const std::function<void(const RegistryNode&)>& visit) {
    for (const auto& child : node.children) {
        visit(*child);
        visitRecursively(*child, visit);
    }
}

} // namespace

void RegistryTree::sortSiblings(RegistryNode* node, const LineLess& less) {
    if (node && node->parent) sortChildren(*node->parent, less);
}

void RegistryTree::sortAll(const LineLess& less) {
    sortRecursively(top_, less);
}

void RegistryTree::forEach(const std::function<void(const RegistryNode&)>& visit) const {
    visitRecursively(top_, visit);
}

bool byteLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

} // namespace kuzelna
