#include "registry/registry_edits.h"

namespace kuzelna {
namespace {

RegistryNode* parentOf(RegistryNode* node) {
    return node->parent->isTop() ? nullptr : node->parent;
}

RegistryNode* addBelow(RegistryTree& tree, RegistryNode* current, NodeKind ownerKind, std::string line) {
    if (!current) return nullptr;
    if (current->level() == static_cast<int>(ownerKind)) return tree.appendChild(current, std::move(line));
    return tree.insertFirstChild(parentOf(current), std::move(line));
}

} // namespace

bool kindOfNode(const RegistryNode& node, NodeKind& kind) {
    const int level = node.level();
    if (level < 0 || level > static_cast<int>(NodeKind::Player)) return false;
    kind = static_cast<NodeKind>(level);
    return true;
}

RegistryNode* addClub(RegistryTree& tree, std::string line) {
    return tree.insertFirstChild(nullptr, std::move(line));
}

RegistryNode* addTeam(RegistryTree& tree, RegistryNode* current, std::string line) {
    return addBelow(tree, current, NodeKind::Club, std::move(line));
}

RegistryNode* addPlayer(RegistryTree& tree, RegistryNode* current, std::string line) {
    return addBelow(tree, current, NodeKind::Team, std::move(line));
}

void changeLine(RegistryTree& tree, RegistryNode* node, std::string line, const LineLess& less) {
    if (!node) return;
    node->line = std::move(line);
    if (node->level() == static_cast<int>(NodeKind::Club))
        tree.sortAll(less);
    else
        tree.sortSiblings(node, less);
}

} // namespace kuzelna
