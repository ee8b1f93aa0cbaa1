# Wine renders the English dialogs' font (MS Shell Dlg, which Wine substitutes with Tahoma)
# without Chinese glyphs: camera and file names in Chinese show as boxes. Windows links CJK fonts
# to its UI fonts (FontLink\SystemLink); Wine's default links name Windows font files that a
# Wine prefix does not have. Put WenQuanYi Micro Hei (fonts-wqy-microhei) first in the links of
# the UI fonts, keeping what is there. Checked on every start: Wine's own set-up may write the
# default links again.
rud_link_cjk_fonts() {
  local wqy link face current key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  wqy=$(fc-list ':lang=zh-cn' file 2>/dev/null | grep -i -m1 wqy-microhei | cut -d: -f1 || true)
  [ -n "$wqy" ] || return 0
  link="$(basename "$wqy"),WenQuanYi Micro Hei"
  for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS Sans Serif" "Segoe UI"; do
    current=$(wine reg query "$key" /v "$face" 2>/dev/null </dev/null | tr -d '\r' |
              sed -n "s/^ *$face *REG_MULTI_SZ *//p" || true)
    case $current in "$link"*) continue ;; esac
    wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d "$link${current:+\\0$current}" /f \
      >/dev/null 2>&1 </dev/null || true
  done
}
