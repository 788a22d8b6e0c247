#include "play/scroll.h"

TVector& worldScrollOffset() {
    static TVector offset;
    return offset;
}
