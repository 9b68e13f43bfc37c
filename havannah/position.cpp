#include "havannah/position.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>

namespace tarnwick::havannah {

std::string_view toString(Player p) { return p == Player::Black ? "black" : "white"; }

std::string describe(WinKinds kinds) {
    std::vector<std::string_view> names;
    if (kinds.ring) names.push_back("ring");
    if (kinds.bridge) names.push_back("bridge");
    if (kinds.fork) names.push_back("fork");
    if (names.empty()) return "none";
    std::string text(names.front());
    for (std::size_t i = 1; i < names.size(); ++i) {
        text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

std::string_view describe(Refusal refusal) {
    switch (refusal) {
        case Refusal::OffBoard: return "is off the board";
        case Refusal::Occupied: return "is on an occupied cell";
        case Refusal::GameOver: return "comes after the game was won";
        case Refusal::NoSwap: return "is a swap that is not allowed here";
    }
    return "is refused";
}

namespace {

// Set bits of six-bit masks, by table: a popcount instruction cannot be
// assumed, and the library call costs more than the look-up.
constexpr std::array<std::uint8_t, 64> kBitCount = [] {
    std::array<std::uint8_t, 64> counts{};
    for (unsigned m = 0; m < 64; ++m) counts[m] = static_cast<std::uint8_t>(std::popcount(m));
    return counts;
}();

// A neighbour in direction d sees the cell in direction kOpposite[d].
constexpr std::array<unsigned, 6> kOpposite{3, 4, 5, 0, 1, 2};

// A six-bit circle mask turned by `steps` directions: bit d of the result is
// bit d - steps of `bits`.
constexpr unsigned rotateCircle(unsigned bits, unsigned steps) {
    return ((bits << steps) | (bits >> (6 - steps))) & 63U;
}

// Bit d set where direction d is set in `bits` and direction d - 1 (round
// the circle) is not: the first place of each run.
constexpr unsigned runStarts(unsigned bits) { return bits & ~rotateCircle(bits, 1) & 63U; }

}  // namespace

Position::Position(int base, bool swapRule) : Position(std::make_shared<const Topology>(base), swapRule) {}

Position::Position(std::shared_ptr<const Topology> topology, bool swapRule)
    : topology_(std::move(topology)), swapRule_(swapRule) {
    if (!topology_) throw std::invalid_argument("a Position needs a topology");
}

bool Position::canSwap() const {
    if (!swapRule_ || movesPlayed_ != 1 || toMove_ != Player::White || isWon()) return false;
    // Set-up may have put other stones down since the first move; the swap
    // needs the first move's stone alone on the board.
    const auto end = stones_.begin() + topology_->cellCount();
    return std::count(stones_.begin(), end, Stone::Black) == 1 && std::count(stones_.begin(), end, Stone::White) == 0;
}

std::optional<Player> Position::winner() const {
    if (!isWon()) return std::nullopt;
    return winner_;
}

Cell Position::find(Cell cell) {
    while (parent_[idx(cell)] != cell) {
        const Index grandparent = parent_[idx(parent_[idx(cell)])];
        parent_[idx(cell)] = grandparent;
        cell = grandparent;
    }
    return cell;
}

Cell Position::rootOf(Cell cell) const {
    while (parent_[idx(cell)] != cell) cell = parent_[idx(cell)];
    return cell;
}

Cell Position::join(Cell a, Cell b) {
    if (a == b) return a;
    if (groupSize_[idx(a)] < groupSize_[idx(b)]) std::swap(a, b);
    parent_[idx(b)] = static_cast<Index>(a);
    groupSize_[idx(a)] = static_cast<Index>(groupSize_[idx(a)] + groupSize_[idx(b)]);
    groupCorners_[idx(a)] |= groupCorners_[idx(b)];
    groupSides_[idx(a)] |= groupSides_[idx(b)];
    return a;
}

void Position::setStone(Cell cell, Stone stone) {
    const Stone old = stones_[idx(cell)];
    stones_[idx(cell)] = stone;
    const std::array<Cell, 6>& circle = topology_->circle(cell);
    // Each neighbour's bit for this cell, in the black half of the mask;
    // the white half is 8 bits up.
    const unsigned shift = stone == Stone::White ? 8 : 0;
    if (old == Stone::Empty && stone != Stone::Empty) {
        // A stone on an empty cell, as in every move: the neighbours' bits
        // for the cell are clear and only need setting. Unrolled, the
        // directions are constants.
#pragma GCC unroll 6
        for (unsigned d = 0; d < 6; ++d)
            if (circle[d] != kNoCell) around_[idx(circle[d])] = static_cast<std::uint16_t>(around_[idx(circle[d])] | (1U << kOpposite[d]) << shift);
        return;
    }
    for (unsigned d = 0; d < 6; ++d) {
        const Cell n = circle[d];
        if (n == kNoCell) continue;
        const unsigned seen = 1U << kOpposite[d];
        unsigned mask = around_[idx(n)] & ~(seen | seen << 8);
        if (stone != Stone::Empty) mask |= seen << shift;
        around_[idx(n)] = static_cast<std::uint16_t>(mask);
    }
}

Cell Position::addStone(Cell cell, Stone stone) {
    const auto i = idx(cell);
    setStone(cell, stone);
    parent_[i] = static_cast<Index>(cell);
    groupSize_[i] = 1;
    groupCorners_[i] = topology_->cornerMask(cell);
    groupSides_[i] = topology_->sideMask(cell);
    Cell root = cell;
    const std::array<Cell, 6>& circle = topology_->circle(cell);
    // Straight to each neighbour of the colour: testing all six directions
    // costs a branch each that random play makes hard to predict.
    for (unsigned own = stonesAround(cell, stone); own != 0; own &= own - 1)
        root = join(root, find(circle[static_cast<std::size_t>(std::countr_zero(own))]));
    return root;
}

void Position::rebuildGroups() {
    const int cells = topology_->cellCount();
    for (Cell cell = 0; cell < cells; ++cell) {
        const auto i = idx(cell);
        parent_[i] = static_cast<Index>(cell);
        groupSize_[i] = 1;
        groupCorners_[i] = topology_->cornerMask(cell);
        groupSides_[i] = topology_->sideMask(cell);
    }
    for (Cell cell = 0; cell < cells; ++cell) {
        const Stone stone = stones_[idx(cell)];
        if (stone == Stone::Empty) continue;
        for (const Cell n : topology_->neighbours(cell))
            if (n > cell && stones_[idx(n)] == stone) join(find(cell), find(n));
    }
}

std::optional<Refusal> Position::play(Cell cell) {
    if (cell < 0 || cell >= topology_->cellCount()) return Refusal::OffBoard;
    if (isWon()) return Refusal::GameOver;
    if (stones_[idx(cell)] != Stone::Empty) return Refusal::Occupied;
    const Player mover = toMove_;
    WinKinds kinds;
    kinds.ring = closesRing(cell, stoneOf(mover));
    const Cell root = addStone(cell, stoneOf(mover));
    ++movesPlayed_;
    toMove_ = opponent(mover);
    kinds.bridge = kBitCount[groupCorners_[idx(root)]] >= 2;
    kinds.fork = kBitCount[groupSides_[idx(root)]] >= 3;
    if (kinds.any()) {
        winKinds_ = kinds;
        winner_ = mover;
        winMove_ = movesPlayed_;
        winCell_ = cell;
    }
    return std::nullopt;
}

std::optional<Refusal> Position::swap() {
    if (!canSwap()) return Refusal::NoSwap;
    const auto first = std::find(stones_.begin(), stones_.end(), Stone::Black);
    setStone(static_cast<Cell>(first - stones_.begin()), Stone::White);
    toMove_ = Player::Black;
    movesPlayed_ = 2;
    return std::nullopt;
}

bool Position::wouldWin(Cell cell, Player player) const {
    const Stone own = stoneOf(player);
    if (cell < 0 || cell >= topology_->cellCount() || isWon() || stones_[idx(cell)] != Stone::Empty) return false;
    // A stone joining no group of its own touches at most one corner or
    // two sides, and closes no ring.
    if (stonesAround(cell, own) == 0) return false;
    // The masks of the group the stone would make: its own and those of the
    // groups it would join.
    unsigned corners = topology_->cornerMask(cell);
    unsigned sides = topology_->sideMask(cell);
    const std::array<Cell, 6>& circle = topology_->circle(cell);
    for (unsigned mine = stonesAround(cell, own), d = 0; mine != 0; mine >>= 1, ++d) {
        if ((mine & 1U) == 0) continue;
        const Cell root = rootOf(circle[d]);
        corners |= groupCorners_[idx(root)];
        sides |= groupSides_[idx(root)];
    }
    return kBitCount[corners] >= 2 || kBitCount[sides] >= 3 || closesRing(cell, own);
}

void Position::place(Cell cell, Stone stone) {
    if (cell < 0 || cell >= topology_->cellCount())
        throw std::out_of_range("no cell " + std::to_string(cell) + " on this board");
    const Stone old = stones_[idx(cell)];
    if (old == stone) return;
    if (old == Stone::Empty) {
        addStone(cell, stone);
        return;
    }
    // A union-find cannot split a group: start again from the stones.
    setStone(cell, stone);
    rebuildGroups();
}


bool Position::closesRing(Cell cell, Stone own) const {
    const std::array<Cell, 6>& circle = topology_->circle(cell);
    const unsigned ownBits = stonesAround(cell, own);

    // A ring filled with the maker's own stones encloses no cell outside the
    // group: it shows as a stone with six neighbours of its own, either the
    // new stone or one of its neighbours. Such a neighbour shares two of its
    // neighbours with the new stone, on either side of it.
    if (ownBits == 63U) return true;
    const unsigned flanked = ownBits & rotateCircle(ownBits, 1) & rotateCircle(ownBits, 5);
    for (unsigned rest = flanked; rest != 0; rest &= rest - 1) {
        const auto d = static_cast<unsigned>(std::countr_zero(rest));
        if ((stonesAround(circle[d], own) | 1U << kOpposite[d]) == 63U) return true;
    }

    // Otherwise a region is newly shut off exactly when one group reaches
    // the new stone in two separate arcs of its circle. Then the group's
    // chain between the two arcs and the stone form a closed loop, and the
    // gaps on either side of the stone lie one inside it and one outside;
    // the inside one holds a cell of the board that is not in the group (a
    // loop on the board cannot enclose a place off it). Conversely a region
    // the stone shuts off reached the edge before only through the stone,
    // from a gap on one side to a gap on the other, and the loop that now
    // separates them runs through the stone and one group on both sides.
    // (In counting terms: the stone adds one to the number of enclosed
    // regions for every arc beyond the number of groups it joins.) So no
    // search is needed: the arcs' groups, before the stone joins them, say.
    const unsigned arcs = runStarts(ownBits);
    if (kBitCount[arcs] < 2) return false;
    std::array<Cell, 3> roots{};
    std::size_t count = 0;
    for (unsigned d = 0; d < 6; ++d) {
        if ((arcs & (1U << d)) == 0) continue;
        const Cell root = rootOf(circle[d]);
        if (std::find(roots.begin(), roots.begin() + static_cast<std::ptrdiff_t>(count), root) !=
            roots.begin() + static_cast<std::ptrdiff_t>(count))
            return true;
        roots[count++] = root;
    }
    return false;
}

namespace {

// Per cell: whether it belongs to the winning group.
using Members = std::vector<bool>;

// Breadth-first step counts inside the group from the given cells; -1 where
// the group does not reach.
std::vector<int> distancesFrom(const Topology& topology, const Members& group, const std::vector<Cell>& sources) {
    std::vector<int> distance(static_cast<std::size_t>(topology.cellCount()), -1);
    std::vector<Cell> queue;
    for (const Cell s : sources) {
        distance[static_cast<std::size_t>(s)] = 0;
        queue.push_back(s);
    }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const Cell cell = queue[head];
        for (const Cell n : topology.neighbours(cell)) {
            const auto i = static_cast<std::size_t>(n);
            if (!group[i] || distance[i] >= 0) continue;
            distance[i] = distance[static_cast<std::size_t>(cell)] + 1;
            queue.push_back(n);
        }
    }
    return distance;
}

// Adds the cells of a shortest chain from `from` back to the sources of
// `distance`.
void addChain(const Topology& topology, const std::vector<int>& distance, Cell from, std::vector<Cell>& cells) {
    for (Cell cell = from;;) {
        cells.push_back(cell);
        const int steps = distance[static_cast<std::size_t>(cell)];
        if (steps <= 0) return;
        for (const Cell n : topology.neighbours(cell)) {
            if (distance[static_cast<std::size_t>(n)] == steps - 1) {
                cell = n;
                break;
            }
        }
    }
}

// The group's stones next to the cells it encloses, and round each of its
// stones that has six of the group's stones round it.
void addLoop(const Topology& topology, const Members& group, std::vector<Cell>& cells) {
    const auto count = static_cast<std::size_t>(topology.cellCount());
    std::vector<bool> outside(count, false);
    std::vector<Cell> queue;
    for (Cell cell = 0; cell < topology.cellCount(); ++cell) {
        const auto i = static_cast<std::size_t>(cell);
        if (!group[i] && topology.neighbours(cell).size() < 6) {
            outside[i] = true;
            queue.push_back(cell);
        }
    }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        for (const Cell n : topology.neighbours(queue[head])) {
            const auto i = static_cast<std::size_t>(n);
            if (group[i] || outside[i]) continue;
            outside[i] = true;
            queue.push_back(n);
        }
    }
    const auto surrounded = [&](Cell cell) {
        const auto around = topology.neighbours(cell);
        return around.size() == 6 &&
               std::all_of(around.begin(), around.end(), [&](Cell n) { return group[static_cast<std::size_t>(n)]; });
    };
    for (Cell cell = 0; cell < topology.cellCount(); ++cell) {
        if (!group[static_cast<std::size_t>(cell)] || surrounded(cell)) continue;
        for (const Cell n : topology.neighbours(cell)) {
            const auto i = static_cast<std::size_t>(n);
            if ((!group[i] && !outside[i]) || (group[i] && surrounded(n))) {
                cells.push_back(cell);
                break;
            }
        }
    }
}

// A shortest chain inside the group between the two corners it joins most
// directly.
void addBridge(const Topology& topology, const Members& group, std::vector<Cell>& cells) {
    int best = std::numeric_limits<int>::max();
    std::vector<Cell> chain;
    for (const Cell from : topology.corners()) {
        if (!group[static_cast<std::size_t>(from)]) continue;
        const std::vector<int> distance = distancesFrom(topology, group, {from});
        for (const Cell to : topology.corners()) {
            const int steps = distance[static_cast<std::size_t>(to)];
            if (to == from || steps < 0 || steps >= best) continue;
            best = steps;
            chain.clear();
            addChain(topology, distance, to, chain);
        }
    }
    cells.insert(cells.end(), chain.begin(), chain.end());
}

// Three sides the group touches and a meeting stone with the least sum of
// steps to them; the three shortest chains from that stone.
void addFork(const Topology& topology, const Members& group, std::vector<Cell>& cells) {
    std::vector<std::vector<int>> distance(6);
    std::vector<std::size_t> touched;
    for (std::size_t side = 0; side < 6; ++side) {
        std::vector<Cell> sources;
        for (Cell cell = 0; cell < topology.cellCount(); ++cell)
            if (group[static_cast<std::size_t>(cell)] && (topology.sideMask(cell) & (1U << side)) != 0)
                sources.push_back(cell);
        if (sources.empty()) continue;
        distance[side] = distancesFrom(topology, group, sources);
        touched.push_back(side);
    }
    int best = std::numeric_limits<int>::max();
    std::array<std::size_t, 3> bestSides{};
    Cell meeting = kNoCell;
    for (std::size_t a = 0; a < touched.size(); ++a)
        for (std::size_t b = a + 1; b < touched.size(); ++b)
            for (std::size_t c = b + 1; c < touched.size(); ++c)
                for (Cell cell = 0; cell < topology.cellCount(); ++cell) {
                    const auto i = static_cast<std::size_t>(cell);
                    if (!group[i]) continue;
                    const int sum = distance[touched[a]][i] + distance[touched[b]][i] + distance[touched[c]][i];
                    if (sum >= best) continue;
                    best = sum;
                    bestSides = {touched[a], touched[b], touched[c]};
                    meeting = cell;
                }
    if (meeting == kNoCell) return;
    for (const std::size_t side : bestSides) addChain(topology, distance[side], meeting, cells);
}

}  // namespace

std::optional<Win> Position::win() const {
    if (!isWon()) return std::nullopt;
    Win result{winner_, winKinds_, winMove_, winCell_, {}};
    // Set-up after the win may have taken the winning stone away.
    if (stones_[idx(winCell_)] != stoneOf(winner_)) return result;
    const Topology& topology = *topology_;
    const Cell root = rootOf(winCell_);
    Members group(static_cast<std::size_t>(topology.cellCount()), false);
    for (Cell cell = 0; cell < topology.cellCount(); ++cell)
        group[idx(cell)] = stones_[idx(cell)] != Stone::Empty && rootOf(cell) == root;
    if (winKinds_.ring) addLoop(topology, group, result.cells);
    if (winKinds_.bridge) addBridge(topology, group, result.cells);
    if (winKinds_.fork) addFork(topology, group, result.cells);
    std::sort(result.cells.begin(), result.cells.end());
    result.cells.erase(std::unique(result.cells.begin(), result.cells.end()), result.cells.end());
    return result;
}

}  // namespace tarnwick::havannah
