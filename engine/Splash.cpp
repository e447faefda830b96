#include "Splash.h"

#include "Animation.h"
#include "Config.h"
#include "EventKeyboard.h"
#include "EventStep.h"
#include "Frame.h"
#include "GameManager.h"
#include "LogManager.h"
#include "SplashOrvix.h"
#include "Sprite.h"
#include "WorldManager.h"
#include "detail/splash.h"

namespace ox {

namespace {

const int BANNER_WIDTH = 47;
const int BANNER_HEIGHT = 8;

/// Steps the banner moves before it stops.
const int BANNER_COUNTDOWN = 15;

/// The step count, from the stop, at which the banner leaves.
const int BANNER_END = -75;

/// The divisor of the default 33 ms frame time. Frame times below 2 would
/// divide by zero; they use this one, so the banner takes its usual path.
const int FALLBACK_DIVISOR = 16;

/// The mascot's target, from the banner's stopping point.
const Vector MASCOT_OFFSET(24, 1);

// The art is kept one row per line.
// clang-format off

// Slanted outline lettering, shown while the banner slides in.
const std::vector<std::string> SLANTED = {
    R"(       _____                          __)",
    R"(      / ___ \                        /_/)",
    R"(     / /  / /     _____  __   __    __  __  __)",
    R"(    / /  / /     / ___/ | |  / /   / /  \ \/ /)",
    R"(   / /  / /     / /     | | / /   / /    \  /)",
    R"(  / /  / /     / /      | |/ /   / /     /  \)",
    R"( / /__/ /     / /       |   /   / /     / /\ \)",
    R"( \_____/     /_/        |__/   /_/     /_/  \_\)",
};

// Upright lettering, shown once the banner has stopped. The right-hand
// columns stay clear: the mascot hovers there.
const std::vector<std::string> UPRIGHT = {
    R"(  _____                      _)",
    R"( / ___ \                    |_|)",
    R"(| |   | |  ____  __      __  _  __    __)",
    R"(| |   | | |  __| \ \    / / | | \ \  / /)",
    R"(| |   | | | |     \ \  / /  | |  \ \/ /)",
    R"(| |   | | | |      \ \/ /   | |  / /\ \)",
    R"(| |___| | | |       \  /    | | / /  \ \)",
    R"( \_____/  |_|        \/     |_| /_/  \_\)",
};

// clang-format on

}  // namespace

std::unique_ptr<Sprite> buildSprite(int width, int height, Color color, const std::string& label,
                                    std::initializer_list<std::vector<std::string>> frames) {
    auto p_sprite = std::make_unique<Sprite>(static_cast<int>(frames.size()));
    p_sprite->setWidth(width);
    p_sprite->setHeight(height);
    p_sprite->setColor(color);
    if (!label.empty()) {
        p_sprite->setLabel(label);
    }
    for (const std::vector<std::string>& rows : frames) {
        std::string text;
        for (int row = 0; row < height; row++) {
            std::string line = row < static_cast<int>(rows.size()) ? rows[row] : "";
            line.resize(static_cast<std::size_t>(width), ' ');
            text += line;
        }
        p_sprite->addFrame(Frame(width, height, text));
    }
    return p_sprite;
}

int splash() {
    LogManager& log = LogManager::getInstance();
    log.writeLog(10, "splash(): Started.");
    GameManager& game_manager = GameManager::getInstance();
    if (!game_manager.isStarted()) {
        log.writeLog("splash(): Error! Cannot run splash screen until game manger is started.");
        return -1;
    }
    new Splash;  // the world manager deletes it
    game_manager.run();
    log.writeLog(10, "splash(): Finished.");
    return 0;
}

Splash::Splash()
    : m_countdown(BANNER_COUNTDOWN),
      m_p_sprite(buildSprite(BANNER_WIDTH, BANNER_HEIGHT, GREEN, "splash", {SLANTED, UPRIGHT})) {
    Animation animation;
    animation.setSprite(m_p_sprite.get());
    animation.setSlowdownCount(-1);  // frozen: the frame changes only when the banner stops
    setAnimation(animation, true);
    setType("Splash");
    setSolidness(SPECTRAL);

    const Box view = WorldManager::getInstance().getView();
    const Vector corner = view.getCorner();
    const float half_banner = getBox().getHorizontal() * 0.5f;
    setPosition(Vector(corner.getX() + view.getHorizontal() + half_banner,
                       corner.getY() + view.getVertical() * 0.5f));

    int divisor = Config::getInstance().getFrameTime() / 2;
    if (divisor < 1) {
        divisor = FALLBACK_DIVISOR;
    }
    const float distance = half_banner + view.getHorizontal() * 0.5f + 11.0f;
    setVelocity(Vector(-distance / static_cast<float>(divisor), 0));

    m_countdown = BANNER_COUNTDOWN;
    registerInterest(STEP_EVENT);
    registerInterest(KEYBOARD_EVENT);
}

Splash::~Splash() {
    unregisterInterest(STEP_EVENT);
    unregisterInterest(KEYBOARD_EVENT);
}

int endSplashObject(Object* p_o, const Event* p_e, int key_result) {
    GameManager& game_manager = GameManager::getInstance();
    if (game_manager.getGameOver()) {
        WorldManager::getInstance().markForDelete(p_o);
        return 0;
    }
    if (p_e->getType() == KEYBOARD_EVENT) {
        game_manager.setGameOver(true);
        WorldManager::getInstance().markForDelete(p_o);
        return key_result;
    }
    return -1;
}

int Splash::eventHandler(const Event* p_e) {
    // A key ends the banner, and the event then counts as not handled.
    const int ended = endSplashObject(this, p_e, 0);
    if (ended != -1) {
        return ended;
    }
    if (p_e->getType() != STEP_EVENT) {
        return 0;
    }
    m_countdown--;
    if (m_countdown == 0) {
        Animation animation = getAnimation();
        animation.setIndex(1);  // the upright lettering, still frozen
        setAnimation(animation, true);
        setVelocity(Vector(0, 0));
        new SplashOrvix(getPosition() + MASCOT_OFFSET);  // the world manager deletes it
    }
    if (m_countdown == BANNER_END) {
        WorldManager::getInstance().markForDelete(this);
    }
    return 1;
}

}  // namespace ox
