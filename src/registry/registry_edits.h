#pragma once

// What the club, team and player dialogs do to the registry tree when their
// OK is pressed. They act on the node current at that moment.

#include "registry/registry_tree.h"

#include <string>

namespace kuzelna {

enum class NodeKind { Club = 0, Team = 1, Player = 2 };

// A dialog either adds a node or replaces the current node's line.
enum class DialogMode { New, Change };

// The kind of dialog a node is edited with; false for nodes deeper than a player.
bool kindOfNode(const RegistryNode& node, NodeKind& kind);

// A new club becomes the first club.
RegistryNode* addClub(RegistryTree& tree, std::string line);
// A new team: last child of a current club, else first child of the current
// node's parent; nothing without a current node.
RegistryNode* addTeam(RegistryTree& tree, RegistryNode* current, std::string line);
// A new player: last child of a current team, else first child of the current
// node's parent; nothing without a current node.
RegistryNode* addPlayer(RegistryTree& tree, RegistryNode* current, std::string line);

// Replaces the node's line and sorts its siblings; a changed club sorts the
// whole tree. Nothing without a node.
void changeLine(RegistryTree& tree, RegistryNode* node, std::string line, const LineLess& less);

} // namespace kuzelna
