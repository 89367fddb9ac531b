#pragma once

// The registry of clubs, teams and players: an ordered forest whose nodes hold
// one text line each (Windows-1250 bytes). Level 0 is a club, 1 a team, 2 a
// player; deeper nodes may come from a file and are kept as they are.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kuzelna {

struct RegistryNode {
    std::string line;
    RegistryNode* parent = nullptr; // the tree's hidden top for a club
    std::vector<std::unique_ptr<RegistryNode>> children;

    // Depth below the top: 0 for a club.
    int level() const;
    bool isTop() const { return parent == nullptr; }
};

// Orders two lines; the window passes a locale-aware one, the default compares bytes.
using LineLess = std::function<bool(const std::string&, const std::string&)>;

class RegistryTree {
public:
    RegistryTree() = default;
    RegistryTree(const RegistryTree&) = delete;
    RegistryTree& operator=(const RegistryTree&) = delete;

    // The clubs (and whatever else stands at level 0), in tree order.
    const std::vector<std::unique_ptr<RegistryNode>>& roots() const { return top_.children; }
    bool empty() const { return top_.children.empty(); }
    void clear() { top_.children.clear(); }

    // `parent` nullptr means the top level.
    RegistryNode* appendChild(RegistryNode* parent, std::string line);
    RegistryNode* insertFirstChild(RegistryNode* parent, std::string line);
    // Removes the node with its whole subtree.
    void remove(RegistryNode* node);

    // Sorts the node and its siblings by their lines (stable).
    void sortSiblings(RegistryNode* node, const LineLess& less);
    // Sorts the children of every node and the top level.
    void sortAll(const LineLess& less);

    // Calls visit(node) for every node, depth-first in tree order.
    void forEach(const std::function<void(const RegistryNode&)>& visit) const;

private:
    RegistryNode* parentOrTop(RegistryNode* parent) { return parent ? parent : &top_; }

    RegistryNode top_;
};

// Byte order of two lines.
bool byteLess(const std::string& a, const std::string& b);

} // namespace kuzelna
