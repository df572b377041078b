#include "connection/quick_connect_target.h"

namespace {

const TQuickConnectTarget* current = nullptr;

}  // namespace

const TQuickConnectTarget* CurrentQuickConnectTarget() {
    return current;
}

TScopedQuickConnectTarget::TScopedQuickConnectTarget(const TQuickConnectTarget& target)
    : previous_(current) {
    current = &target;
}

TScopedQuickConnectTarget::~TScopedQuickConnectTarget() {
    current = previous_;
}
