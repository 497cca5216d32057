#include "download/DownloadManager.h"
