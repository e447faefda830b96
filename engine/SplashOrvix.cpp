#include "SplashOrvix.h"

#include <string>
#include <vector>

#include "Animation.h"
#include "EventKeyboard.h"
#include "EventStep.h"
#include "GameManager.h"
#include "Splash.h"
#include "Sprite.h"
#include "WorldManager.h"
#include "detail/splash.h"

namespace ox {

namespace {

/// Steps the rise takes.
const int RISE_STEPS = 30;

/// The countdown at which the mascot settles, and at which the splash ends.
const int SETTLE_AT = -15;
const int END_AT = -45;

/// Rows below the view's bottom edge where the rise starts.
const float START_BELOW = 6;

// The art is kept one row per line.
// clang-format off

// The flying mascot, wings up and wings down.
const std::vector<std::string> WINGS_UP = {
    R"(##       ##)",
    R"(  ##(O)##  )",
    R"(   #\|/#   )",
    R"( ##  |  ## )",
    R"(##   |   ##)",
    R"(     |     )",
    R"(     |     )",
};
const std::vector<std::string> WINGS_DOWN = {
    R"(           )",
    R"(####(O)####)",
    R"(   #\|/#   )",
    R"(  ## | ##  )",
    R"( ##  |  ## )",
    R"(     |     )",
    R"(     |     )",
};

// The settled mascot.
const std::vector<std::string> SETTLED = {
    R"(_       _)",
    R"( _-(O)-_ )",
    R"(  _\|/_  )",
    R"(   -|-   )",
    R"(   -|-   )",
    R"(____/    )",
};

// clang-format on

}  // namespace

SplashOrvix::SplashOrvix(Vector target)
    : m_target(target),
      m_countdown(RISE_STEPS),
      m_p_sprite(buildSprite(11, 7, BLUE, "splash-orvix", {WINGS_UP, WINGS_DOWN})) {
    m_p_sprite->setSlowdown(2);
    Animation animation;
    animation.setSprite(m_p_sprite.get());  // frame 0, advancing every 2 steps
    setAnimation(animation, true);
    setType("SplashOrvix");
    setSolidness(SPECTRAL);

    const Box view = WorldManager::getInstance().getView();
    const Vector start(target.getX(), view.getCorner().getY() + view.getVertical() + START_BELOW);
    setPosition(start);
    setVelocity(Vector(0, -(start.getY() - target.getY()) / static_cast<float>(RISE_STEPS)));

    registerInterest(STEP_EVENT);
    registerInterest(KEYBOARD_EVENT);
}

SplashOrvix::~SplashOrvix() {
    unregisterInterest(STEP_EVENT);
    unregisterInterest(KEYBOARD_EVENT);
}

int SplashOrvix::eventHandler(const Event* p_e) {
    const int ended = endSplashObject(this, p_e, 1);
    if (ended != -1) {
        return ended;
    }
    if (p_e->getType() != STEP_EVENT) {
        return 0;
    }
    m_countdown--;
    if (m_countdown <= 0 && m_target.getY() >= getPosition().getY()) {
        setVelocity(Vector(0, 0));
    }
    if (m_countdown == SETTLE_AT) {
        settle();
    }
    if (m_countdown == END_AT) {
        GameManager::getInstance().setGameOver(true);
        WorldManager::getInstance().markForDelete(this);
    }
    return 1;
}

void SplashOrvix::settle() {
    std::unique_ptr<Sprite> p_settled = buildSprite(9, 6, GREEN, "", {SETTLED});  // no label
    Animation animation;
    animation.setSprite(p_settled.get());
    setAnimation(animation, true);
    // The flying sprite goes only once nothing points at it any more.
    m_p_sprite = std::move(p_settled);
    setPosition(Vector(getPosition().getX() - 1, getPosition().getY()));
}

}  // namespace ox
