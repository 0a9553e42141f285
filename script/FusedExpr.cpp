#include "script/FusedExpr.h"

#include "script/Function.h"

namespace qx {

namespace {

// Deeper trees are left to the call-by-call path (the compiled form is run
// by recursion).
constexpr int kMaxDepth = 48;

using TNode = TFusedExpr::TNode;

// How a node reads an operand.
enum class TOperand : uint8_t { Constant, Variable, Node };

template <TOperand K>
inline int32_t Read(const TNode& node, int i, bool& bail) {
    if constexpr (K == TOperand::Constant) return node.Constant[i];
    else if constexpr (K == TOperand::Variable) return node.Variable[i]->Value.AsInteger();
    else return node.Node[i]->Eval(*node.Node[i], bail);
}

inline int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }
inline uint32_t Bits(int32_t v) { return static_cast<uint32_t>(v); }

enum class TOp : uint8_t {
    Add, Sub, Mul, Div, Mod, Greater, Less, Equal, UnEqual, GreaterEqual, LessEqual, And, Or, Xor, Neg, Not
};

template <TOp Op>
inline int32_t Apply(int32_t a, int32_t b, bool& bail) {
    switch (Op) {
    case TOp::Add: return Wrap(Bits(a) + Bits(b));
    case TOp::Sub: return Wrap(Bits(a) - Bits(b));
    case TOp::Mul: return Wrap(Bits(a) * Bits(b));
    case TOp::Div:
        if (b == 0) {
            bail = true;
            return 0;
        }
        // The one quotient that does not fit wraps.
        return b == -1 ? Wrap(0u - Bits(a)) : a / b;
    case TOp::Mod:
        if (b == 0) {
            bail = true;
            return 0;
        }
        return b == -1 ? 0 : a % b;
    case TOp::Greater: return a > b;
    case TOp::Less: return a < b;
    case TOp::Equal: return a == b;
    case TOp::UnEqual: return a != b;
    case TOp::GreaterEqual: return a >= b;
    case TOp::LessEqual: return a <= b;
    case TOp::And: return (a != 0) && (b != 0);
    case TOp::Or: return (a != 0) || (b != 0);
    case TOp::Xor: return (a != 0) != (b != 0);
    case TOp::Neg: return Wrap(0u - Bits(a));
    case TOp::Not: return a == 0;
    }
    return 0;
}

template <TOp Op, TOperand A, TOperand B>
int32_t Binary(const TNode& node, bool& bail) {
    const int32_t a = Read<A>(node, 0, bail);
    const int32_t b = Read<B>(node, 1, bail);
    return Apply<Op>(a, b, bail);
}

template <TOp Op, TOperand A>
int32_t Unary(const TNode& node, bool& bail) {
    return Apply<Op>(Read<A>(node, 0, bail), 0, bail);
}

int32_t BooleanVariable(const TNode& node, bool&) { return node.Variable[0]->Value.AsBoolean(); }

// Operand 0 itself (an index that is a constant or a variable).
template <TOperand K>
int32_t Pass(const TNode& node, bool& bail) {
    return Read<K>(node, 0, bail);
}

// An element of the array in Variable[0] at the index in operand 1.
template <bool Boolean, TOperand I>
int32_t Element(const TNode& node, bool& bail) {
    const int32_t index = Read<I>(node, 1, bail);
    const TValue& array = node.Variable[0]->Value;
    if (array.Kind() != TValueKind::Array || index < 0 || static_cast<size_t>(index) >= array.AsArray().size()) {
        bail = true;
        return 0;
    }
    const TValue& element = array.AsArray()[static_cast<size_t>(index)];
    if (element.Kind() != (Boolean ? TValueKind::Boolean : TValueKind::Integer)) {
        bail = true;
        return 0;
    }
    return Boolean ? element.AsBoolean() : element.AsInteger();
}

template <TOp Op>
TFusedExpr::TNodeFunction BinaryFor(TOperand a, TOperand b) {
    static constexpr TFusedExpr::TNodeFunction table[3][3] = {
        {&Binary<Op, TOperand::Constant, TOperand::Constant>, &Binary<Op, TOperand::Constant, TOperand::Variable>,
         &Binary<Op, TOperand::Constant, TOperand::Node>},
        {&Binary<Op, TOperand::Variable, TOperand::Constant>, &Binary<Op, TOperand::Variable, TOperand::Variable>,
         &Binary<Op, TOperand::Variable, TOperand::Node>},
        {&Binary<Op, TOperand::Node, TOperand::Constant>, &Binary<Op, TOperand::Node, TOperand::Variable>,
         &Binary<Op, TOperand::Node, TOperand::Node>},
    };
    return table[static_cast<int>(a)][static_cast<int>(b)];
}

TFusedExpr::TNodeFunction BinaryFunction(TOp op, TOperand a, TOperand b) {
    switch (op) {
    case TOp::Add: return BinaryFor<TOp::Add>(a, b);
    case TOp::Sub: return BinaryFor<TOp::Sub>(a, b);
    case TOp::Mul: return BinaryFor<TOp::Mul>(a, b);
    case TOp::Div: return BinaryFor<TOp::Div>(a, b);
    case TOp::Mod: return BinaryFor<TOp::Mod>(a, b);
    case TOp::Greater: return BinaryFor<TOp::Greater>(a, b);
    case TOp::Less: return BinaryFor<TOp::Less>(a, b);
    case TOp::Equal: return BinaryFor<TOp::Equal>(a, b);
    case TOp::UnEqual: return BinaryFor<TOp::UnEqual>(a, b);
    case TOp::GreaterEqual: return BinaryFor<TOp::GreaterEqual>(a, b);
    case TOp::LessEqual: return BinaryFor<TOp::LessEqual>(a, b);
    case TOp::And: return BinaryFor<TOp::And>(a, b);
    case TOp::Or: return BinaryFor<TOp::Or>(a, b);
    case TOp::Xor: return BinaryFor<TOp::Xor>(a, b);
    default: return nullptr;
    }
}

} // namespace

class TFusedExpr::TCompiler {
public:
    explicit TCompiler(TFusedExpr& target) : target_(target) {}

    enum class TKind : uint8_t { None, Integer, Boolean };
    // What a compiled expression is to its parent.
    struct TResult {
        TKind Kind = TKind::None;
        TOperand How = TOperand::Constant;
        int32_t Constant = 0;
        const TVariable* Variable = nullptr;
        const TNode* Node = nullptr;
    };

    TResult Compile(const TExpr& expr, int depth) {
        if (depth > kMaxDepth) return {};
        switch (expr.Kind()) {
        case TExprKind::Const: return Constant(static_cast<const TConstExpr&>(expr).Constant());
        case TExprKind::Var: return Variable(*static_cast<const TVarExpr&>(expr).Variable());
        case TExprKind::Array: return ElementOf(static_cast<const TArrayExpr&>(expr), depth);
        case TExprKind::Func: return Call(static_cast<const TFuncExpr&>(expr), depth);
        }
        return {};
    }

    int Calls() const { return calls_; }
    int Elements() const { return elements_; }

    // A compiled operand as a node of its own.
    const TNode* AsNode(const TResult& operand) {
        if (operand.How == TOperand::Node) return operand.Node;
        TNode& node = NewNode(operand.How == TOperand::Constant ? &Pass<TOperand::Constant> : &Pass<TOperand::Variable>);
        SetOperand(node, 0, operand);
        return &node;
    }

    void Guard(const TVariable& variable) {
        for (const auto& guard : target_.guards_)
            if (guard.first == &variable) return;
        target_.guards_.emplace_back(&variable, variable.Type);
    }

private:
    static TResult Constant(const TValue& value) {
        if (value.Kind() == TValueKind::Integer) return {TKind::Integer, TOperand::Constant, value.AsInteger()};
        if (value.Kind() == TValueKind::Boolean) return {TKind::Boolean, TOperand::Constant, value.AsBoolean()};
        return {};
    }

    TResult Variable(const TVariable& variable) {
        Guard(variable);
        if (variable.Type == (stVar | stInteger)) return {TKind::Integer, TOperand::Variable, 0, &variable};
        if (variable.Type == (stVar | stBoolean)) {
            TNode& node = NewNode(&BooleanVariable);
            node.Variable[0] = &variable;
            return {TKind::Boolean, TOperand::Node, 0, nullptr, &node};
        }
        return {};
    }

    TResult ElementOf(const TArrayExpr& expr, int depth) {
        const TVariable& variable = *expr.Variable();
        Guard(variable);
        const bool boolean = variable.Type == (stVar | stArray | stBoolean);
        if (!boolean && variable.Type != (stVar | stArray | stInteger)) return {};
        const TResult index = Compile(expr.Index(), depth + 1);
        if (index.Kind != TKind::Integer) return {};
        static constexpr TNodeFunction integers[3] = {&Element<false, TOperand::Constant>,
                                                      &Element<false, TOperand::Variable>,
                                                      &Element<false, TOperand::Node>};
        static constexpr TNodeFunction booleans[3] = {&Element<true, TOperand::Constant>,
                                                      &Element<true, TOperand::Variable>,
                                                      &Element<true, TOperand::Node>};
        const int how = static_cast<int>(index.How);
        TNode& node = NewNode(boolean ? booleans[how] : integers[how]);
        node.Variable[0] = &variable;
        SetOperand(node, 1, index);
        ++elements_;
        return {boolean ? TKind::Boolean : TKind::Integer, TOperand::Node, 0, nullptr, &node};
    }

    // Whether the general path would find a pattern for the call with the
    // types its arguments have now (if not, the call must fail there).
    static bool Fits(const TFuncExpr& call) {
        std::vector<TTypeCode> actual, passing;
        for (size_t i = 0; i < call.ArgumentCount(); ++i) actual.push_back(ActualType(call.Argument(i)));
        for (const TTypes& pattern : call.Function().Patterns())
            if (call.Function().Match(pattern, actual, passing).empty()) return true;
        return false;
    }

    TResult Call(const TFuncExpr& call, int depth) {
        TOp op;
        switch (call.Function().Builtin()) {
        case TBuiltin::Add: op = TOp::Add; break;
        case TBuiltin::Sub: op = TOp::Sub; break;
        case TBuiltin::Mul: op = TOp::Mul; break;
        case TBuiltin::Div: op = TOp::Div; break;
        case TBuiltin::Mod: op = TOp::Mod; break;
        case TBuiltin::Greater: op = TOp::Greater; break;
        case TBuiltin::Less: op = TOp::Less; break;
        case TBuiltin::Equal: op = TOp::Equal; break;
        case TBuiltin::UnEqual: op = TOp::UnEqual; break;
        case TBuiltin::GreaterEqual: op = TOp::GreaterEqual; break;
        case TBuiltin::LessEqual: op = TOp::LessEqual; break;
        case TBuiltin::And: op = TOp::And; break;
        case TBuiltin::Or: op = TOp::Or; break;
        case TBuiltin::Xor: op = TOp::Xor; break;
        case TBuiltin::Neg: op = TOp::Neg; break;
        case TBuiltin::Not: op = TOp::Not; break;
        default: return {};
        }
        const bool unary = op == TOp::Neg || op == TOp::Not;
        if (call.ArgumentCount() != (unary ? 1u : 2u) || !Fits(call)) return {};
        ++calls_;
        const TResult a = Compile(call.Argument(0), depth + 1);
        if (a.Kind == TKind::None) return {};
        TKind kind;
        switch (op) {
        case TOp::Neg:
        case TOp::Add:
        case TOp::Sub:
        case TOp::Mul:
        case TOp::Div:
        case TOp::Mod: kind = a.Kind == TKind::Integer ? TKind::Integer : TKind::None; break;
        case TOp::Not:
        case TOp::And:
        case TOp::Or:
        case TOp::Xor: kind = a.Kind == TKind::Boolean ? TKind::Boolean : TKind::None; break;
        default: kind = TKind::Boolean; break;  // comparisons of two integers or two booleans
        }
        if (kind == TKind::None) return {};
        if (unary) {
            static constexpr TNodeFunction negate[3] = {&Unary<TOp::Neg, TOperand::Constant>,
                                                        &Unary<TOp::Neg, TOperand::Variable>,
                                                        &Unary<TOp::Neg, TOperand::Node>};
            static constexpr TNodeFunction invert[3] = {&Unary<TOp::Not, TOperand::Constant>,
                                                        &Unary<TOp::Not, TOperand::Variable>,
                                                        &Unary<TOp::Not, TOperand::Node>};
            TNode& node = NewNode((op == TOp::Neg ? negate : invert)[static_cast<int>(a.How)]);
            SetOperand(node, 0, a);
            return {kind, TOperand::Node, 0, nullptr, &node};
        }
        const TResult b = Compile(call.Argument(1), depth + 1);
        if (b.Kind != a.Kind) return {};
        TNode& node = NewNode(BinaryFunction(op, a.How, b.How));
        SetOperand(node, 0, a);
        SetOperand(node, 1, b);
        return {kind, TOperand::Node, 0, nullptr, &node};
    }

    static void SetOperand(TNode& node, int i, const TResult& operand) {
        node.Constant[i] = operand.Constant;
        node.Variable[i] = operand.Variable;
        node.Node[i] = operand.Node;
    }

    TNode& NewNode(TNodeFunction eval) {
        TNode& node = target_.nodes_.emplace_back();
        node.Eval = eval;
        return node;
    }

    TFusedExpr& target_;
    int calls_ = 0;
    int elements_ = 0;
};

std::unique_ptr<TFusedExpr> TFusedExpr::Build(const TFuncExpr& root) {
    using TKind = TCompiler::TKind;
    auto fused = std::make_unique<TFusedExpr>();
    TCompiler compiler(*fused);
    fused->owner_ = root.Function().Owner();
    const TBuiltin builtin = root.Function().Builtin();
    if (builtin == TBuiltin::Set) {
        if (root.ArgumentCount() != 2) return nullptr;
        const TCompiler::TResult value = compiler.Compile(root.Argument(1), 1);
        if (value.Kind == TKind::None || value.How != TOperand::Node) return nullptr;
        const TExpr& target = root.Argument(0);
        TVariable* variable = static_cast<const TVarExpr&>(target).Variable();
        const TTypeCode base = value.Kind == TKind::Integer ? stInteger : stBoolean;
        if (target.Kind() == TExprKind::Var) {
            if (variable->Type != (stVar | base)) return nullptr;
            fused->root_ = TRoot::SetVariable;
        } else {
            if (variable->Type != (stVar | stArray | base)) return nullptr;
            const TCompiler::TResult index = compiler.Compile(static_cast<const TArrayExpr&>(target).Index(), 1);
            if (index.Kind != TKind::Integer) return nullptr;
            fused->index_ = compiler.AsNode(index);
            fused->root_ = TRoot::SetElement;
        }
        compiler.Guard(*variable);
        fused->target_ = variable;
        fused->value_ = value.Node;
        fused->boolean_ = value.Kind == TKind::Boolean;
        fused->innerCalls_ = static_cast<uint32_t>(compiler.Calls());
        return fused;
    }
    if (builtin == TBuiltin::If || builtin == TBuiltin::IfElse) {
        if (root.ArgumentCount() != (builtin == TBuiltin::If ? 2u : 3u)) return nullptr;
        const TCompiler::TResult condition = compiler.Compile(root.Argument(0), 1);
        if (condition.Kind != TKind::Boolean || condition.How != TOperand::Node) return nullptr;
        fused->root_ = builtin == TBuiltin::If ? TRoot::If : TRoot::IfElse;
        fused->value_ = condition.Node;
        fused->innerCalls_ = static_cast<uint32_t>(compiler.Calls());
        return fused;
    }
    const TCompiler::TResult result = compiler.Compile(root, 0);
    // One call on two plain leaves gains nothing over its specialised path.
    if (result.Kind == TKind::None || result.How != TOperand::Node ||
        (compiler.Calls() < 2 && compiler.Elements() == 0))
        return nullptr;
    fused->value_ = result.Node;
    fused->innerCalls_ = static_cast<uint32_t>(compiler.Calls() - 1);
    fused->boolean_ = result.Kind == TKind::Boolean;
    return fused;
}

inline void TFusedExpr::Counted() const {
    if (owner_ && owner_->CallBudget != 0) owner_->CallCount += innerCalls_;
}

[[gnu::always_inline]] inline bool TFusedExpr::CanRun(TFuncExpr& site, TFusedExpr& fused, TValue& out) {
    TFuncs* owner = fused.owner_;
    // Every call below the root must be allowed to begin, and none may pump.
    if (owner && (owner->OnProcessMessages ||
                  (owner->CallBudget != 0 && owner->CallCount + fused.innerCalls_ > owner->CallBudget))) {
        fused.Fallback(site, out);
        return false;
    }
    for (const auto& [variable, type] : fused.guards_)
        if (variable->Type != type) {
            Recompile(site, fused, out);
            return false;
        }
    return true;
}

// A variable of the tree changed its type: compile anew for the types it has
// now, a few times at most, and make this call the way the site makes it.
void TFusedExpr::Recompile(TFuncExpr& site, TFusedExpr& fused, TValue& out) {
    const TCallHandler fallback = fused.Fallback;
    std::unique_ptr<TFusedExpr> fresh = fused.rebuilds_ < 4 ? Build(site) : nullptr;
    if (fresh) {
        fresh->Fallback = fallback;
        fresh->rebuilds_ = fused.rebuilds_ + 1;
        site.SetHandler(fresh->Handler());
        site.SetFused(std::move(fresh));  // frees the form this call began with
    } else {
        site.SetFused(nullptr);
        site.SetHandler(fallback);
    }
    fallback(site, out);
}

template <TFusedExpr::TRoot Root>
void TFusedExpr::Call(TFuncExpr& site, TValue& out) {
    TFusedExpr& fused = *site.Fused();
    if (!CanRun(site, fused, out)) return;
    bool bail = false;
    const int32_t value = fused.value_->Eval(*fused.value_, bail);
    if constexpr (Root == TRoot::Value) {
        if (!bail) {
            if (fused.boolean_) out.SetBoolean(value != 0);
            else out.SetInteger(value);
            fused.Counted();
            return;
        }
    } else if constexpr (Root == TRoot::SetVariable) {
        TValue& stored = fused.target_->Value;
        if (!bail && stored.Kind() == (fused.boolean_ ? TValueKind::Boolean : TValueKind::Integer)) {
            if (fused.boolean_) stored.SetBoolean(value != 0);
            else stored.SetInteger(value);
            out.Clear();
            fused.Counted();
            return;
        }
    } else if constexpr (Root == TRoot::SetElement) {
        const int32_t index = fused.index_->Eval(*fused.index_, bail);
        TValue& array = fused.target_->Value;
        if (!bail && array.Kind() == TValueKind::Array && index >= 0 &&
            static_cast<size_t>(index) < array.AsArray().size()) {
            TValue& element = array.MutableArray()[static_cast<size_t>(index)];
            if (fused.boolean_) element.SetBoolean(value != 0);
            else element.SetInteger(value);
            out.Clear();
            fused.Counted();
            return;
        }
    } else {
        if (!bail) {
            fused.Counted();
            out.Clear();
            TValue scratch;
            if constexpr (Root == TRoot::IfElse)
                static_cast<TFuncExpr*>(site.ArgumentNode(value != 0 ? 1 : 2))->EvalCall(scratch);
            else if (value != 0)
                static_cast<TFuncExpr*>(site.ArgumentNode(1))->EvalCall(scratch);
            site.Pump();
            return;
        }
    }
    fused.Fallback(site, out);
}

TCallHandler TFusedExpr::Handler() const {
    switch (root_) {
    case TRoot::Value: return &Call<TRoot::Value>;
    case TRoot::SetVariable: return &Call<TRoot::SetVariable>;
    case TRoot::SetElement: return &Call<TRoot::SetElement>;
    case TRoot::If: return &Call<TRoot::If>;
    case TRoot::IfElse: return &Call<TRoot::IfElse>;
    }
    return nullptr;
}

} // namespace qx
