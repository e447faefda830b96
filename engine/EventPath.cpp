#include "EventPath.h"

namespace ox {

EventPath::EventPath() {
    setType(PATH_EVENT);
}

}  // namespace ox
