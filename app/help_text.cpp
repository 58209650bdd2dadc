#include "app/help_text.h"

#include "platform/codepage.h"

std::string UsageLine()
{
    return Sjis(u8"使い方: tintora [オプション] [色]（詳しくは tintora --help）\n");
}

std::string HelpText()
{
    return Sjis(u8R"(使い方: tintora [オプション] [色]

色を HEX コード・RGB 値・色見本で同時に表示するウィンドウを開きます。
色を指定すると、その色を表示した状態で開きます。
色の書き方は「色として貼り付け」と同じです。

オプション:
  --pick                     画面から色を一つ取得して #RRGGBB の形で出力します
                             （ウィンドウは開きません）
  --print 色                 色を次の六つの形で1行ずつ出力します:
                             #FF8000、FF8000、rgb(255, 128, 0)、
                             hsl(30, 100%, 50%)、255, 128, 0、
                             oklch(73.2% 0.1858 53)
  --format 形                --print で出力する形を一つにします（hex、bare、
                             rgb、hsl、triple、oklch のどれか）
  --pick-in-window           ウィンドウを開き、すぐに画面から色を取得します
  --pick-frozen              画面を止めて拡大表示し、矢印キーで1画素ずつ
                             合わせて色を取得します（出力と終了ステータスは
                             --pick と同じ）
  --pick-from ファイル       画像ファイルを開いて色を一つ取得し、#RRGGBB の
                             形で出力します（矢印キーで1画素ずつ動かし、
                             Enter キーで取得）
  --history                  「最近の色」（取得・貼り付けた色）を新しい順に
                             1行ずつ出力します
  --export-palette ファイル  ユーザカラーをパレットファイルに書き出します
                             （拡張子が .gpl なら GIMP パレット、.css なら
                             CSS）
  --import-palette ファイル  GIMP パレットの色をユーザカラーに追加します
  --contrast 文字色 背景色   二つの色の WCAG 2 のコントラスト比と、各基準を
                             満たすかどうかを出力します
  --level 基準               --contrast で終了ステータスを決める基準です:
                             AA（既定）、AAA、AA-large、AAA-large、ui
  --suggest                  --contrast で、基準を満たす文字色を暗い色から
                             順に #RRGGBB の形で出力します（満たしていれば
                             文字色そのもの）
  --vision 種類[:程度]       --print と --contrast で、色覚の違いによる見え方を
                             再現した色で出力・判定します。種類は
                             protan（1型）、deutan（2型）、tritan（3型）、
                             achroma（1色覚）、
                             程度は0.1〜1（既定は1）
  --help                     この説明を表示して終了します
  --version                  バージョン情報を表示して終了します
  --                         これより後ろの引数はオプションとして扱いません

引数をとるオプションは --print=色 のようにも書けます。
Qt の標準オプション（-platform、-display、-style など）も使えます。

色の書き方:
  #RRGGBB、RRGGBB、#RGB、#RRGGBBAA、RRGGBBAA、#RGBA、0xRRGGBB
  rgb()、rgba()、hsl()、hsla()（カンマ区切りでも空白区切りでも書けます）、
  hwb()、lab()、lch()、oklab()、oklch()、
  color(display-p3 1 0.5 0)（srgb、srgb-linear、a98-rgb、prophoto-rgb、
  rec2020、xyz、xyz-d50、xyz-d65 も使えます）
  255, 128, 0 や 255 128 0（0〜255の数を三つ）
  CSS の色名（orange など）、Color Name 欄にだけある名前（dark green など）
  color: #FF8000; のような、色が一つだけの宣言（引用符で囲んでもかまいません）
透明度は無視します。ただし、完全に透明な色（#FF800000 など）は読み取りません。
sRGB の範囲外の色は、sRGB でいちばん近い色にして出力し、そのことを標準エラー
出力に書きます。
# で始まる色は、シェルでは引用符で囲んでください（例: '#FF8000'）。

終了ステータス:
  0  正常に終了したとき
  1  --pick、--pick-from が取り消されたとき、パレットの一部の色を読み書き
     できなかったとき、最近の色の記録に読み取れない行があったとき、
     --contrast の色が基準を満たさないとき、--suggest で色が見つからないとき
  2  引数や色を読み取れなかったとき、色を取得できなかったとき、
     ファイルを読み書きできなかったとき、画像を開けなかったとき
)");
}
