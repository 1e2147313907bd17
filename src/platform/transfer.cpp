#include "transfer.h"

Transfer::~Transfer() = default;
