#include "drivetarget.h"

namespace {
thread_local DriveTarget *t_bound = nullptr;
}

DriveTargetScope::DriveTargetScope(const DriveTarget &target)
    : m_target(target), m_outer(t_bound)
{
    t_bound = &m_target;
}

DriveTargetScope::~DriveTargetScope() { t_bound = m_outer; }

DriveTarget *DriveTargetScope::bound() { return t_bound; }
