#include "app/ChannelManager.h"
