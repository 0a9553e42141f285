#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/Sprite.h"
#include "render/SpriteSurface.h"

namespace qx::test {

// A square sprite that writes "move <name>", "draw <name>" and
// "destroy <name>" to a shared log.
class BoxSprite : public TSprite {
public:
    BoxSprite(std::string name, std::vector<std::string>* log, int32_t size = 10)
        : Name(std::move(name)), Log(log), Size(size) {}
    ~BoxSprite() override {
        if (Log) Log->push_back("destroy " + Name);
    }

    std::string Name;
    std::vector<std::string>* Log;
    int32_t Size;
    std::function<void(BoxSprite&)> OnMove;

    TRect GetBoundsRect() const override {
        const int32_t left = RoundHalfEven(X()) - Size / 2, top = RoundHalfEven(Y()) - Size / 2;
        return {left, top, left + Size, top + Size};
    }
    void Move() override {
        if (Log) Log->push_back("move " + Name);
        TSprite::Move();
        if (OnMove) OnMove(*this);
    }
    void Render(PlatformCanvas&, TDIBCanvas&) override {
        if (Log) Log->push_back("draw " + Name);
    }
};

inline std::unique_ptr<BoxSprite> Box(const std::string& name, std::vector<std::string>* log, float x = 20,
                                      float y = 20) {
    auto sprite = std::make_unique<BoxSprite>(name, log);
    sprite->SetPosition(x, y);
    return sprite;
}

} // namespace qx::test
