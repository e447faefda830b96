#include "EventOut.h"

namespace ox {

EventOut::EventOut() {
    setType(OUT_EVENT);
}

}  // namespace ox
