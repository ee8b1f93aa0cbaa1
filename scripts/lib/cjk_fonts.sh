# Wine renders the dialog fonts (Tahoma, MS Shell Dlg) without Chinese glyphs unless they link
# to a font that has them: link them to WenQuanYi Micro Hei (fonts-wqy-microhei). Once a prefix.
rud_link_cjk_fonts() {
  [ -f "$WINEPREFIX/.rud-cjk-fonts" ] && return 0
  local wqy face
  wqy=$(fc-list ':lang=zh-cn' file 2>/dev/null | grep -i -m1 wqy-microhei | cut -d: -f1 || true)
  [ -n "$wqy" ] || return 0
  for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS Sans Serif"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d "$(basename "$wqy"),WenQuanYi Micro Hei" /f >/dev/null 2>&1 </dev/null || true
  done
  touch "$WINEPREFIX/.rud-cjk-fonts"
}
