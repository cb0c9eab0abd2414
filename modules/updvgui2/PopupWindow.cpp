#include "modules/updvgui2/PopupWindow.h"

#include <algorithm>
#include <cstdio>

#include "modules/updvgui2/FontManager.h"
#include "modules/updvgui2/TextureStore.h"

CPopupWindow::CPopupWindow(vgui2::VPANEL panel, const PopupOptions& options) : m_panel(panel), m_options(options) {}

CPopupWindow::~CPopupWindow() {
    DropTextures();
    if (m_renderer) {
        SDL_DestroyRenderer(m_renderer);
    }
    if (m_window) {
        SDL_DestroyWindow(m_window);
    }
}

bool CPopupWindow::Create(int x, int y, int wide, int tall) {
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (!m_options.showTaskbarIcon) {
        flags |= SDL_WINDOW_SKIP_TASKBAR;
    }
    m_x = x;
    m_y = y;
    m_wide = std::max(wide, 1);
    m_tall = std::max(tall, 1);
    m_window = SDL_CreateWindow("", m_x, m_y, m_wide, m_tall, flags);
    if (!m_window) {
        std::fprintf(stderr, "updvgui2: cannot create a window: %s\n", SDL_GetError());
        return false;
    }
    m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    if (!m_renderer) {
        std::fprintf(stderr, "updvgui2: cannot draw into a window: %s\n", SDL_GetError());
        return false;
    }
    SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_BLEND);
    m_windowId = SDL_GetWindowID(m_window);
    return true;
}

bool CPopupWindow::Sync(int x, int y, int wide, int tall, bool visible) {
    bool show = visible && wide > 0 && tall > 0;
    if (show && (x != m_x || y != m_y)) {
        SDL_SetWindowPosition(m_window, x, y);
        m_x = x;
        m_y = y;
    }
    if (show && (wide != m_wide || tall != m_tall)) {
        SDL_SetWindowSize(m_window, wide, tall);
        m_wide = wide;
        m_tall = tall;
        m_damaged = true;
    }
    if (show == m_shown) {
        return false;
    }
    m_shown = show;
    if (!show) {
        SDL_HideWindow(m_window);
        return true;
    }
    SDL_ShowWindow(m_window);
    m_damaged = true;
    if (m_raiseWhenShown) {
        m_raiseWhenShown = false;
        Raise();
    }
    return false;
}

bool CPopupWindow::Contains(int screenX, int screenY) const {
    return m_shown && screenX >= m_x && screenY >= m_y && screenX < m_x + m_wide && screenY < m_y + m_tall;
}

void CPopupWindow::BeginPaint() {
    m_damaged = false;
    SDL_RenderSetClipRect(m_renderer, nullptr);
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
}

void CPopupWindow::EndPaint() {
    SDL_RenderSetClipRect(m_renderer, nullptr);
    SDL_RenderPresent(m_renderer);
}

void CPopupWindow::SetTitle(const std::string& utf8) { SDL_SetWindowTitle(m_window, utf8.c_str()); }

void CPopupWindow::SetMinimized(bool state) {
    if (state) {
        SDL_MinimizeWindow(m_window);
    } else if (m_minimized) {
        SDL_RestoreWindow(m_window);
        m_damaged = true;
    }
    m_minimized = state;
}

void CPopupWindow::Flash(bool state) {
    SDL_FlashWindow(m_window, state ? SDL_FLASH_UNTIL_FOCUSED : SDL_FLASH_CANCEL);
}

void CPopupWindow::SetTopMost(bool state) { SDL_SetWindowAlwaysOnTop(m_window, state ? SDL_TRUE : SDL_FALSE); }

void CPopupWindow::Raise() {
    if (!m_shown) {
        m_raiseWhenShown = true;
        return;
    }
    SDL_RaiseWindow(m_window);
    if (m_options.keyboardInput) {
        SDL_SetWindowInputFocus(m_window);
    }
}

SDL_Texture* CPopupWindow::GlyphTexture(CFontManager& fonts, vgui2::HFont font, char32_t ch, const FontGlyph& glyph) {
    if (!glyph.coverage) {
        return nullptr;
    }
    if (m_glyphGeneration != fonts.Generation()) {
        for (auto& entry : m_glyphTextures) {
            SDL_DestroyTexture(entry.second);
        }
        m_glyphTextures.clear();
        m_glyphGeneration = fonts.Generation();
    }
    std::uint64_t key = (static_cast<std::uint64_t>(font) << 32) | ch;
    auto found = m_glyphTextures.find(key);
    if (found != m_glyphTextures.end()) {
        return found->second;
    }
    SDL_Texture* texture = SDL_CreateTextureFromSurface(m_renderer, glyph.coverage);
    if (texture) {
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    }
    m_glyphTextures.emplace(key, texture);
    return texture;
}

SDL_Texture* CPopupWindow::ImageTexture(const CTextureStore& store, vgui2::HTexture id) {
    SDL_Surface* pixels = store.Pixels(id);
    if (!pixels) {
        return nullptr;
    }
    CachedImage& cached = m_imageTextures[id];
    if (cached.texture && cached.version == store.Version(id)) {
        return cached.texture;
    }
    if (cached.texture) {
        SDL_DestroyTexture(cached.texture);
    }
    cached.texture = SDL_CreateTextureFromSurface(m_renderer, pixels);
    cached.version = store.Version(id);
    if (cached.texture) {
        SDL_SetTextureBlendMode(cached.texture, SDL_BLENDMODE_BLEND);
    }
    return cached.texture;
}

void CPopupWindow::DropTextures() {
    for (auto& entry : m_glyphTextures) {
        SDL_DestroyTexture(entry.second);
    }
    m_glyphTextures.clear();
    for (auto& entry : m_imageTextures) {
        SDL_DestroyTexture(entry.second.texture);
    }
    m_imageTextures.clear();
}

SDL_Surface* CPopupWindow::ReadPixels() {
    int wide = 0;
    int tall = 0;
    if (!m_renderer || SDL_GetRendererOutputSize(m_renderer, &wide, &tall) != 0 || wide <= 0 || tall <= 0) {
        return nullptr;
    }
    SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormat(0, wide, tall, 32, SDL_PIXELFORMAT_RGBA32);
    if (!shot) {
        return nullptr;
    }
    SDL_RenderSetClipRect(m_renderer, nullptr);
    if (SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_RGBA32, shot->pixels, shot->pitch) != 0) {
        SDL_FreeSurface(shot);
        return nullptr;
    }
    return shot;
}
