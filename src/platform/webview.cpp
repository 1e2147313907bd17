#include "webview.h"

WebView::~WebView() = default;
