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
色を指定すると、その色を表示した状態で開きます（「色として貼り付け」と同じ）。

オプション:
  --pick                     画面から色を一つ取得して #RRGGBB の形で出力します
                             （ウィンドウは開きません）
  --print 色                 色を次の五つの形で一行ずつ出力します:
                             #FF8000、FF8000、rgb(255, 128, 0)、
                             hsl(30, 100%, 50%)、255, 128, 0
  --pick-in-window           ウィンドウを開き、すぐに画面から色を取得します
  --pick-frozen              画面を撮影して拡大表示し、矢印キーで1ピクセルずつ
                             合わせて色を取得します（出力と終了ステータスは
                             --pick と同じ）
  --pick-from ファイル       画像ファイルを開いて色を一つ取得し、#RRGGBB の形で
                             出力します（矢印キーで1ピクセルずつ動かし、Enter で取得）
  --history                  最近取得した色を新しい順に一行ずつ出力します
  --export-palette ファイル  ユーザカラーをパレットファイルに書き出します
                             （拡張子が .gpl なら GIMP パレット、.css なら CSS）
  --import-palette ファイル  GIMP パレットの色をユーザカラーに追加します
  --help                     この説明を表示して終了します
  --version                  バージョン情報を表示して終了します
  --                         これより後ろの引数はオプションとして扱いません

引数をとるオプションは --print=色 のようにも書けます。
Qt の標準オプション（-platform、-display、-style など）も使えます。

色の書き方:
  #RRGGBB、RRGGBB、#RGB、#RRGGBBAA、#RGBA（アルファ値は無視します）
  rgb()、rgba()、hsl()、hsla()（カンマ区切りでも空白区切りでも書けます）
  255, 128, 0 や 255 128 0（0 から 255 までの数を三つ）
  CSS の色名（orange など）、Color Name 欄の名前（aquamarine など）
# で始まる色は、シェルでは引用符で囲んでください（例: '#FF8000'）。

終了ステータス:
  0  正常に終了しました
  1  --pick、--pick-from が取り消されたとき、パレットの一部の色を扱えなかったとき、
     最近の色のファイルに読み取れない行があったとき
  2  引数や色を読めなかったとき、色を取得できなかったとき、
     ファイルを扱えなかったとき、画像を開けなかったとき
)");
}
