#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "script/Expr.h"

namespace qx {

// A pure expression compiled into a tree of small typed functions: built-in
// operators (arithmetic, integer division, comparison, logic) over integer and
// boolean constants, variables and array elements whose indexes are pure too.
// Evaluating such a tree has no effect but its value, its calls being counted
// and the host's pump running after each call; so the whole tree can be
// computed at once on plain integers and its calls counted afterwards, as long
// as no call in it could be stopped by the call budget, nothing pumps, every
// variable still has the type the tree was compiled for and no value leaves
// the fast path (a division by zero, an index outside its array, an element
// not yet written or of another kind). Otherwise nothing is done and the tree
// is evaluated call by call, which raises what has to be raised.
//
// The root is the operator at the top of such a tree, an assignment of one to
// an integer or boolean variable or array element, or an IF or ELSE whose
// condition is one (the chosen statement then runs as usual).
class TFusedExpr {
public:
    // The compiled form for Root (its own pattern already decided), or
    // nullptr when there is none worth having.
    static std::unique_ptr<TFusedExpr> Build(const TFuncExpr& root);

    // The handler of a call site with this compiled form: all at once when
    // it can, else the site's specialised path (Fallback).
    TCallHandler Handler() const;

    TCallHandler Fallback = nullptr;

    // One node of the compiled form: a function computing its integer (a
    // boolean as 0 or 1) from its operands, each a constant, an integer
    // variable or another node. Bail is set when the value leaves the fast
    // path; the result is then ignored (the tree is pure, so going on with a
    // wrong number does no harm).
    struct TNode;
    using TNodeFunction = int32_t (*)(const TNode& node, bool& bail);
    struct TNode {
        TNodeFunction Eval = nullptr;
        const TNode* Node[2] = {nullptr, nullptr};
        const TVariable* Variable[2] = {nullptr, nullptr};
        int32_t Constant[2] = {0, 0};
    };

private:
    class TCompiler;
    enum class TRoot : uint8_t { Value, SetVariable, SetElement, If, IfElse };

    bool TypesUnchanged() const {
        for (const auto& [variable, type] : guards_)
            if (variable->Type != type) return false;
        return true;
    }
    // Whether this call can be made all at once; when not, Fallback does it.
    static bool CanRun(TFuncExpr& site, TFusedExpr& fused, TValue& out);
    static void Recompile(TFuncExpr& site, TFusedExpr& fused, TValue& out);
    template <TRoot Root>
    static void Call(TFuncExpr& site, TValue& out);
    inline void Counted() const;

    TRoot root_ = TRoot::Value;
    bool boolean_ = false;
    int rebuilds_ = 0;
    uint32_t innerCalls_ = 0;  // the calls below the root
    TFuncs* owner_ = nullptr;
    const TNode* value_ = nullptr;      // the value or condition
    const TNode* index_ = nullptr;      // the element an assignment writes
    TVariable* target_ = nullptr;       // the variable an assignment writes
    std::deque<TNode> nodes_;           // stable addresses
    std::vector<std::pair<const TVariable*, TTypeCode>> guards_;
};

} // namespace qx
