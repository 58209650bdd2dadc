#include "ui/pick/x11_pointer.h"

#include <cstdlib>

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace {

struct Server
{
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
};

std::optional<Server> X11Server()
{
    const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return std::nullopt;
    Server server;
    server.connection = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(server.connection)).data;
    if (screen == nullptr)
        return std::nullopt;
    server.root = screen->root;
    return server;
}

} // namespace

std::optional<QPoint> X11PointerPosition()
{
    const auto server = X11Server();
    if (!server)
        return std::nullopt;
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(
        server->connection, xcb_query_pointer(server->connection, server->root), nullptr);
    if (reply == nullptr)
        return std::nullopt;
    const QPoint at(reply->root_x, reply->root_y);
    std::free(reply);
    return at;
}

bool MoveX11Pointer(QPoint devicePixel)
{
    const auto server = X11Server();
    if (!server)
        return false;
    xcb_warp_pointer(server->connection, XCB_NONE, server->root, 0, 0, 0, 0,
        static_cast<int16_t>(devicePixel.x()), static_cast<int16_t>(devicePixel.y()));
    xcb_flush(server->connection);
    return true;
}

bool SyncWithX11()
{
    const auto server = X11Server();
    if (!server)
        return false;
    std::free(xcb_get_input_focus_reply(
        server->connection, xcb_get_input_focus(server->connection), nullptr));
    return true;
}
