// Connector search of plain cutting: for one figure that the cutting path does
// not reach yet, finds the best straight cut from a vertex of a reached figure
// to one of its vertices, walks the pair back until the cut crosses neither of
// the two figures, and records the cut as a two-point connector figure (kind 3)
// inserted into the cutting tree between them. The hot wire cuts whatever it
// passes through: with an index of the drawn edges, a cut that would go
// through any other drawn figure is never made while a clear one exists.
//
// Every call adds at most one connector and says whether it found a pair of
// figures to consider; the plain-cutting preparation calls the variants over
// and over until every figure is reached.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "project/okno_plt.h"

namespace vm {

class TEdgeIndex;

// Steps back round a figure whose last point repeats its first: i - 1 for
// i >= 1, else n - 2 (the last point is skipped). A figure of one point stays
// at vertex 0.
std::int32_t PrevVertexIndex(std::int32_t i, std::int32_t n);

// Number of neighbours every figure keeps.
inline constexpr int kNeighbourCount = 22;

// One object serves one preparation. Its faster path keeps what it learnt
// between calls, so between calls figures may be reached only through this
// object, apart from the flag of the parent whose children are being joined;
// a preparation that links figures by other means does so before its first
// call or starts a new object.
class TConnectorSearch {
 public:
  explicit TConnectorSearch(TMDIChild& window);

  // Joins one unreached figure of depth below 2 to the first figure's vertex
  // nearest to the project's lower-left corner.
  bool FindConnector();
  // Joins one unreached child of P to P or to a reached child of P, on
  // sampled vertices (about 250 per figure), shifted by the depth parities.
  bool FindConnectorFew(std::int32_t P);
  // As FindConnectorFew for a parent of many children: candidate vertices,
  // the neighbour test for closed pairs.
  bool FindConnectorMany(std::int32_t P);
  // Joins one unreached figure of any depth to a reached drawn figure of no
  // greater depth, on candidate vertices, with the neighbour test.
  bool FindConnectorOrdered();
  // The same without the neighbour test, on sampled vertices.
  bool FindConnectorUnordered();
  // Joins one unreached figure, of any depth and nesting, to the nearest
  // reached drawn figure (or the first figure) by a connector that crosses
  // no drawn figure: the last resort for figures the searches above cannot
  // join. False when no unreached figure has such a connector.
  bool FindConnectorClear();

  // Gives every figure its 22 nearest figures by centre distance, figures
  // deeper than the figure itself and its own nested figures coming last.
  void BuildNeighbourLists();
  bool NeighboursBuilt() const { return neighboursBuilt_; }
  // Whether K is among T's nearest figures.
  bool IsNeighbour(std::int32_t K, std::int32_t T) const;

  // Does the cut from K's point i to T's point j cross K (result K) or T
  // (result T)? -1 when it crosses neither.
  std::int32_t ConnectorCrossesFigure(std::int32_t K, std::int32_t i, std::int32_t T,
                                      std::int32_t j) const;
  // The same test; `edge` is set to the first edge of the returned figure
  // that the cut crosses (its first vertex; the closing edge is the last one).
  std::int32_t ConnectorCrossesFigure(std::int32_t K, std::int32_t i, std::int32_t T,
                                      std::int32_t j, std::int32_t& edge) const;
  // Does that cut cross edge e (from vertex e to the next) of `fig`, one of
  // K and T, among the edges the test above looks at?
  bool CutCrossesOwnEdge(std::int32_t K, std::int32_t i, std::int32_t T, std::int32_t j,
                         std::int32_t fig, std::int32_t e) const;

  // Connectors added by this search object, figure pairs given up because
  // every cut between them crosses one of the two, and figure pairs given up
  // because every cut between them tried crosses another drawn figure.
  int ConnectorsAdded() const { return connectorsAdded_; }
  int PairsRejected() const { return pairsRejected_; }
  int PairsBlocked() const { return pairsBlocked_; }

  // With an index of the drawn edges, a connector that would cut through a
  // drawn figure other than the two it joins is never made: the pair's best
  // clear vertex pair takes its place among the candidates, and a pair with
  // none is given up. Without one (the default) only the two figures joined
  // are tested. The index must outlive the search.
  void SetEdgeIndex(const TEdgeIndex* index) { edges_ = index; }

  // Compare every admissible pair on every call and every figure with every
  // other for the neighbour lists, as the search is defined, instead of
  // keeping the pair scores between calls and looking up neighbours on a
  // grid. Tests use it to check the faster path against the definition.
  void SetReference(bool on) { reference_ = on; }

  // Operator probe polled during long crossing walks; once it has said
  // stop, Aborted() is true and every further call finds nothing.
  void SetAbortProbe(std::function<bool()> probe) { abortProbe_ = std::move(probe); }
  bool Aborted() const { return aborted_; }

  // Drops what the calls of one parent's search keep between calls; the
  // preparation calls it when it is done with a parent, whose own flag it
  // then puts back.
  void ForgetParent();

 private:
  enum class Variant { Single, Few, Many, Ordered, Unordered };
  struct Choice {
    std::int64_t score = 0;
    std::int32_t K = -1, T = -1, i = -1, j = -1;
  };
  // Nearest clear cut of an unreached figure found by the last resort search.
  struct Leftover {
    bool valid = false;
    std::int64_t sq = 0;
    std::int32_t T = -1, i = -1, j = -1;
    std::size_t done = 0;           // targets looked at, from the start of the list
    std::int64_t rest = INT64_MAX;  // least distance to the targets not looked at
  };
  // Per figure as the search starts: its box and the least factor its vertex
  // records can put on a score (a candidate's weight, 10 for the others), for
  // a lower bound of the scores of a figure pair.
  struct Bound {
    std::int64_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    std::int64_t minWeight = 0;
  };
  // Scores of figure pairs do not change while the search runs (points,
  // weights, depths and parents of drawn figures are fixed by then), so the
  // pairs of the targets seen so far wait in a heap ordered as the scan
  // would meet them: by score, then child, then target. A pair enters the
  // heap with a lower bound of its score (i and j -1) and is scored only when
  // it comes to the top: it then goes back with its score, and a pair that
  // comes to the top scored is the best. A target's pairs not built yet wait
  // behind one entry with child -1 and the least score any of them can have,
  // which comes before every pair of that score.
  struct Later {
    bool operator()(const Choice& a, const Choice& b) const {
      if (a.score != b.score) return a.score > b.score;
      if (a.K != b.K) return a.K > b.K;
      return a.T > b.T;
    }
  };
  // The children a session may join, as a tree of their boxes: open and
  // closed children under two roots, each node with the box of its figures,
  // the least weight factor and the greatest depth among them and how many of
  // them are still unreached. A target meets the children from the nearest
  // box outwards, so pairs far apart are built only once nothing nearer can
  // win.
  struct BoxTree {
    struct Node {
      std::int64_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
      std::int64_t minWeight = 0;
      std::int32_t maxDepth = 0;
      std::int32_t live = 0;               // unreached figures below
      std::int32_t left = -1, right = -1;  // -1 for a leaf
      std::int32_t begin = 0, end = 0;     // the leaf's figures in `items`
      std::int32_t up = -1;
    };
    std::vector<Node> nodes;
    std::vector<std::int32_t> items;
    std::vector<char> itemLive;
    std::vector<std::int32_t> itemLeaf;                         // per slot
    std::vector<std::pair<std::int32_t, std::int32_t>> slotOf;  // (figure, slot), by figure
    std::int32_t openRoot = -1, closedRoot = -1;
    bool openBuilt = false, closedBuilt = false;
  };
  // One target's walk through the tree: the nodes not opened yet, nearest
  // first, by the least score a pair with a figure below them can have.
  struct Generator {
    std::int32_t T = -1;
    std::vector<std::pair<std::int64_t, std::int32_t>> queue;  // min-heap of (bound, node)
  };
  // A session looks at every figure it may use once, when it starts; after
  // that a figure becomes a target only when this search reaches it (it is
  // then in `linked_`), apart from the parent, whose own flag the caller
  // clears and sets around its search, and targets that dropped out: those
  // wait in `recheck` and are looked at on every call. A target's pairs come
  // into the heap through its generator, whose heap entry (child -1) stands
  // for every pair it has not built yet.
  struct Session {
    std::vector<Choice> heap;
    std::vector<char> seen;             // per figure: its pairs as a target are in the heap
    std::vector<std::int32_t> recheck;  // possible targets looked at on every call
    std::size_t linkedSeen = 0;         // entries of `linked_` looked at
    BoxTree tree;
    std::vector<Generator> gens;
    // Per target: its current generator (a session of one parent has few
    // targets among many figures).
    std::unordered_map<std::int32_t, std::int32_t> genOf;
  };

  bool Run(Variant v, std::int32_t P);
  bool RunReference(Variant v, std::int32_t P, Choice& best);
  bool RunCached(Variant v, std::int32_t P, Choice& best);
  bool TargetNow(Variant v, std::int32_t T, std::int32_t P) const;
  void AddTargetPairs(Session& s, Variant v, std::int32_t T, std::int32_t P);
  // Builds the half of the tree holding the open or the closed children;
  // -1 when there are none.
  std::int32_t BuildRoot(Session& s, Variant v, std::int32_t P, bool closed);
  void TreeRemove(BoxTree& tree, std::int32_t K) const;
  // Least score of a pair of T with a figure under the node.
  std::int64_t NodeBound(Variant v, std::int32_t T, const BoxTree::Node& node) const;
  void PushGenerator(Session& s, std::int32_t g);
  // Opens the generator's nearest node: a leaf's figures become pairs, an
  // inner node's halves go in line.
  void StepGenerator(Session& s, Variant v, std::int32_t g, std::int32_t P);
  // Puts the pair of K with T in line by its lower bound when the variant
  // may join the two.
  void ConsiderPair(Session& s, Variant v, std::int32_t K, std::int32_t T, std::int32_t P) const;
  void BuildChildLists();
  void BuildNeighbourListsReference();
  bool BuildNeighbourListsGrid();
  bool ChildOk(Variant v, std::int32_t K, std::int32_t P) const;
  bool TargetOk(Variant v, std::int32_t K, std::int32_t T, std::int32_t P) const;
  // Calls fn(i, j, score) for every vertex pair the variant tries for K and
  // T, in scan order.
  template <typename Fn>
  void ForPairs(Variant v, std::int32_t K, std::int32_t T, std::int32_t e, Fn&& fn) const;
  // Best vertex pair of one figure pair; false when no vertex pair is scored.
  bool BestOfPair(Variant v, std::int32_t K, std::int32_t T, std::int32_t e, Choice& out) const;
  // The crossing walk; false when it runs round without finding a free cut,
  // when it has tested so many edges that it is given up as if it had, or
  // when the operator stopped it (aborted_).
  bool Walk(std::int32_t K, std::int32_t T, std::int32_t& i, std::int32_t& j) const;
  void AddConnector(Variant v, std::int32_t P, const Choice& c);
  bool Rejected(std::int32_t K, std::int32_t T) const;
  void Reject(std::int32_t K, std::int32_t T);
  // The variant's choice for a figure pair: the best vertex pair, or the best
  // clear one once the best turned out to cross another figure.
  bool PairChoice(Variant v, std::int32_t K, std::int32_t T, std::int32_t e, Choice& out) const;
  // The cut from K's point i to T's point j crosses neither K nor T (as the
  // crossing walk tests) nor any other drawn figure.
  bool CutClear(std::int32_t K, std::int32_t i, std::int32_t T, std::int32_t j) const;
  // The best vertex pair of the variant for K and T, in score order, whose
  // cut is clear; false when there is none.
  bool BestClearPair(Variant v, std::int32_t K, std::int32_t T, std::int32_t e, Choice& out) const;
  static std::uint64_t PairKey(Variant v, std::int32_t K, std::int32_t T);
  // Given up: every cut of the pair crosses one of the two, or every cut the
  // variant tries crosses another drawn figure.
  bool Dropped(Variant v, std::int32_t K, std::int32_t T) const;
  void BuildBounds();
  Bound BoundOf(std::int32_t q) const;
  // No vertex pair of K and T scores below this (0 when not known).
  std::int64_t LowerBound(Variant v, std::int32_t K, std::int32_t T) const;
  // Nearest clear vertex pair of K and T closer than `limit` (squared).
  bool NearestClearPair(std::int32_t K, std::int32_t T, std::int64_t limit, Leftover& out) const;

  TMDIChild& w_;
  bool neighboursBuilt_ = false;
  std::vector<int> neighbourFilled_;  // entries of Neighbours in use, per figure
  std::unordered_set<std::uint64_t> rejected_;
  int connectorsAdded_ = 0;
  int pairsRejected_ = 0;
  int pairsBlocked_ = 0;
  const TEdgeIndex* edges_ = nullptr;
  // Figure pairs (by variant) whose best cut crossed another figure, with the
  // best clear vertex pair that replaces it.
  std::unordered_map<std::uint64_t, Choice> clearChoice_;
  std::unordered_set<std::uint64_t> blocked_;
  // The last resort search: per unreached figure its nearest clear cut so
  // far, and the reached figures it may join in the order they came.
  std::vector<Leftover> leftover_;
  std::vector<char> leftoverTarget_;  // per figure: in the target list
  std::vector<std::int32_t> leftTargets_;
  std::vector<Bound> leftTargetBoxes_;
  bool reference_ = false;
  std::function<bool()> abortProbe_;
  mutable bool aborted_ = false;
  std::map<std::pair<int, std::int32_t>, Session> sessions_;
  // Figures by NestParent, the open ones among them, and all open figures,
  // as the search starts.
  std::vector<std::vector<std::int32_t>> children_;
  std::vector<std::vector<std::int32_t>> openChildren_;
  std::vector<std::int32_t> open_;
  bool childListsBuilt_ = false;
  // Bounds of the figures present when first needed.
  std::vector<Bound> bounds_;
  // Figures this search reached, in order: the children of its connectors.
  std::vector<std::int32_t> linked_;
};

}  // namespace vm
