#pragma once
// Every text of the resources, one line per language. VelomaSS.rc includes
// the dialogs and the string table once per language, with JA(x) and EN(x)
// keeping only that language's value; a text the same in both has no
// JA/EN. The dialog layouts use the few sizes the English words need
// (bottom of this file), so that each layout is written only once.

// Fonts
#define TX_FONT_SIZE JA(9) EN(8)
#define TX_FONT JA("ＭＳ Ｐゴシック") EN("MS Shell Dlg")

#define TX_PRODUCT "Veloma Screen Saver"
#define TX_OK "OK"
#define TX_CANCEL \
    JA("ｷｬﾝｾﾙ") \
    EN("Cancel")

// Settings dialog
#define TX_ABOUT_BUTTON \
    JA("ﾊﾞｰｼﾞｮﾝ情報...") \
    EN("About...")
#define TX_CHANGE_PASSWORD_BUTTON \
    JA("ﾊﾟｽﾜｰﾄﾞの変更...") \
    EN("Password...")
#define TX_FILL_COLOUR_BUTTON \
    JA("指定色の設定...") \
    EN("Fill Color...")
#define TX_RANDOM "Random"
#define TX_SQUARE "Square"
#define TX_LINE "Line"
#define TX_HLINE "H-Line"
#define TX_VLINE "V-Line"
#define TX_BGM "BGM"
#define TX_SOUND "Sound"
#define TX_BMP_OPTION "BMP Option"
#define TX_INITIAL_CELL_OPTION "Initial Cell Option"
#define TX_BLANK_CELL_OPTION "Blank Cell Option"
#define TX_BMP_FILE "BMP File..."
#define TX_SELECT_SOUND "Select Sound..."
#define TX_DISAPPEAR_SOUND "Disappear Sound..."
#define TX_BGM_FILE "BGM..."
#define TX_NUMBER "Number"
#define TX_PATTERN "Pattern"
#define TX_SIZE "Size"
#define TX_OPTION "Option"
#define TX_ANIMATION_SPEED \
    JA("Animation Speed") \
    EN("Speed")
#define TX_BLACK_OUT \
    JA("Black Out ") \
    EN("Black Out")
#define TX_MSEC "msec"
#define TX_MIN "min"

// Colour dialog
#define TX_COLOUR_TITLE \
    JA("Color設定") \
    EN("Fill Color")
#define TX_RED "RED"
#define TX_GREEN "GREEN"
#define TX_BLUE "BLUE"

// MIDI list dialog
#define TX_MIDI_LIST_TITLE \
    JA("MIDIファイルリストの設定") \
    EN("MIDI Play List")
#define TX_LIST_IN_ORDER \
    JA("リストファイルの順番に演奏") \
    EN("Play in the list's order")
#define TX_LIST_AT_RANDOM \
    JA("リストファイルからランダムに選んで演奏") \
    EN("Play in random order")

// About box
#define TX_ABOUT_TITLE \
    JA("ﾊﾞｰｼﾞｮﾝ情報") \
    EN("About")
#define TX_ABOUT_ENJOY \
    JA("ご自由にお楽しみください") \
    EN("Enjoy it freely")
#define TX_ABOUT_WHAT \
    JA("コマ消しスクリーンセーバー") \
    EN("Tile-clearing screen saver")

// Password dialogs
#define TX_CHANGE_PASSWORD_TITLE \
    JA("ﾊﾟｽﾜｰﾄﾞの変更") \
    EN("Change Password")
#define TX_CHANGE_PASSWORD_HEAD \
    JA("Velomaｽｸﾘｰﾝｾｰﾊﾞｰのﾊﾟｽﾜｰﾄﾞの変更") \
    EN("Change the password of the Veloma screen saver")
#define TX_NEW_PASSWORD \
    JA("新しいﾊﾟｽﾜｰﾄﾞ") \
    EN("New password:")
#define TX_CONFIRM_PASSWORD \
    JA("新しいﾊﾟｽﾜｰﾄﾞの確認入力") \
    EN("Confirm new password:")
#define TX_ENTER_PASSWORD \
    JA("ﾊﾟｽﾜｰﾄﾞの入力") \
    EN("Enter the password:")

// String table: the system menu item, messages, file-dialog filters
#define TX_ABOUT_MENU \
    JA("ﾊﾞｰｼﾞｮﾝ情報(Veloma Screen Saver) (&A)...") \
    EN("&About Veloma Screen Saver...")
#define TX_MISSING_BITMAP \
    JA("VelomaSS標準コマデータファイルがみつかりません。\n適当なコマデータファイルを選択して下さい。") \
    EN("The VelomaSS piece image file was not found.\nPlease choose a piece image file.")
#define TX_PASSWORD_MISMATCH \
    JA("新しいﾊﾟｽﾜｰﾄﾞと再入力したﾊﾟｽﾜｰﾄﾞが一致しません。もう一度新しいﾊﾟｽﾜｰﾄﾞを確認してから入力して下さい。") \
    EN("The new password and the confirmation do not match. Check the new password and enter it again.")
#define TX_BITMAP_FILTER \
    JA("BMP File |*.bmp||") \
    EN("Bitmap Files (*.bmp)|*.bmp||")
#define TX_WAVE_FILTER \
    JA("Wave File |*.wav||") \
    EN("Wave Files (*.wav)|*.wav||")
#define TX_MIDI_FILTER \
    JA("MIDI File & List File|*.rmi;*.mid;*.lst||") \
    EN("MIDI Files and Play Lists|*.rmi;*.mid;*.lst||")

// Tooltips of the settings dialog
#define TX_TIP_RANDOM \
    JA("コマを適当にならべる") \
    EN("Place the pieces at random")
#define TX_TIP_LINE \
    JA("コマを横あるいは縦にならべる") \
    EN("Place the pieces in rows or in columns")
#define TX_TIP_HLINE \
    JA("コマを横にならべる") \
    EN("Place the pieces in rows")
#define TX_TIP_VLINE \
    JA("コマを縦にならべる") \
    EN("Place the pieces in columns")
#define TX_TIP_SQUARE \
    JA("コマを四角くならべる") \
    EN("Place the pieces in squares")
#define TX_TIP_NUMBER_3 \
    JA("3種類のコマを使用する") \
    EN("Use 3 kinds of pieces")
#define TX_TIP_NUMBER_4 \
    JA("4種類のコマを使用する") \
    EN("Use 4 kinds of pieces")
#define TX_TIP_NUMBER_5 \
    JA("5種類のコマを使用する") \
    EN("Use 5 kinds of pieces")
#define TX_TIP_SOUND \
    JA("指定したWaveファイルを再生する") \
    EN("Play the chosen wave files")
#define TX_TIP_BGM \
    JA("指定したMIDIファイルをBGMとして演奏する") \
    EN("Play the chosen MIDI file as background music")
#define TX_TIP_BMP_OPTION \
    JA("最初のコマデータを静止画像としてのみ使用する") \
    EN("Use only the first piece picture, as a still image")
#define TX_TIP_SPEED \
    JA("アニメーションの１コマの表示にかける時間") \
    EN("How long each animation frame is shown")
#define TX_TIP_BLACKOUT \
    JA("表示をやめて画面を真っ黒にするまでの時間") \
    EN("Minutes until the board stops and the screen goes black")
#define TX_TIP_SIZE_1 \
    JA("コマサイズ 32x32ドット") \
    EN("Piece size 32x32 pixels")
#define TX_TIP_SIZE_2 \
    JA("コマサイズ 64x64ドット") \
    EN("Piece size 64x64 pixels")
#define TX_TIP_SIZE_3 \
    JA("コマサイズ 96x96ドット") \
    EN("Piece size 96x96 pixels")
#define TX_TIP_SIZE_4 \
    JA("コマサイズ 128x128ドット") \
    EN("Piece size 128x128 pixels")
#define TX_TIP_BLANK_CELL \
    JA("除去後のコマを指定した色で塗りつぶす") \
    EN("Fill removed pieces with the fill color")
#define TX_TIP_INITIAL_CELL \
    JA("静止時のコマを指定した色で塗りつぶす") \
    EN("Fill pieces at rest with the fill color")

// A piece image that cannot be used; {names} are filled in by the program.
#define TX_IMAGE_REFUSED \
    JA("このファイルはコマデータとして使えません。") \
    EN("This file cannot be used as a piece image.")
#define TX_IMAGE_FAULT_CANNOT_OPEN \
    JA("ファイルを開けません。") \
    EN("The file cannot be opened.")
#define TX_IMAGE_FAULT_NOT_BITMAP \
    JA("BMPファイルではありません（先頭が ""BM"" ではありません）。") \
    EN("It is not a BMP file (it does not begin with ""BM"").")
#define TX_IMAGE_FAULT_TRUNCATED \
    JA("ファイルが途中で切れています（{have} バイトしかなく、ヘッダーによれば {need} バイトです）。") \
    EN("The file ends after {have} bytes, short of the {need} its headers give.")
#define TX_IMAGE_FAULT_HEADER_SIZE \
    JA("情報ヘッダーが {header} バイトです（読めるのは 12、40、52、56、108、124 バイトです）。") \
    EN("Its information header has {header} bytes (those of 12, 40, 52, 56, 108 and 124 bytes are read).")
#define TX_IMAGE_FAULT_BIT_COUNT \
    JA("1ピクセル {bits} ビットの画像は読めません（1、4、8、16、24、32 ビットを読みます）。") \
    EN("Images of {bits} bits per pixel are not read (1, 4, 8, 16, 24 and 32 are).")
#define TX_IMAGE_FAULT_COMPRESSION \
    JA("圧縮形式 {compression} の 1ピクセル {bits} ビットの画像は描けません。") \
    EN("Compression {compression} with {bits} bits per pixel cannot be drawn.")
#define TX_IMAGE_FAULT_DIMENSIONS \
    JA("{width} × {height} ピクセルという大きさの画像は描けません。") \
    EN("An image of {width} x {height} pixels cannot be drawn.")
#define TX_IMAGE_FAULT_COLOUR_TABLE \
    JA("カラーテーブルが {colours} 色あります（256 色までです）。") \
    EN("Its colour table has {colours} entries (at most 256 are read).")
#define TX_IMAGE_FAULT_PIXELS_SHORT \
    JA("画素データが {have} バイトしかありません（{width} × {height}、1ピクセル {bits} ビットには {need} バイト必要です）。") \
    EN("It has {have} bytes of pixels; {width} x {height} at {bits} bits per pixel needs {need}.")
#define TX_IMAGE_FAULT_OUT_OF_MEMORY \
    JA("{width} × {height} ピクセルの画像を読むメモリが足りません。") \
    EN("There is not enough memory for {width} x {height} pixels.")
#define TX_IMAGE_FAULT_PIECE_GRID \
    JA("コマデータは高さ 352 ピクセル（下から上へ格納）、幅 32 ピクセルの倍数です。この画像は {width} × {height} です。") \
    EN("A piece image is 352 pixels high, stored bottom-up, and a multiple of 32 pixels wide; this one is {width} x {height}.")

// Sizes in dialog units where the English words need more room than the
// Japanese layout gives them; the layouts use these instead of numbers.
#define SZ_RANDOM_WIDTH JA(35) EN(39)
#define SZ_SQUARE_WIDTH JA(31) EN(35)
#define SZ_OPTION_WIDTH JA(62) EN(68)
// The file buttons; the path boxes take the rest of the row.
#define SZ_CHOOSER_WIDTH JA(61) EN(69)
#define SZ_PASSWORD_HEAD_WIDTH JA(128) EN(180)
// The Japanese label reaches one unit under its box.
#define SZ_CONFIRM_LABEL_WIDTH JA(84) EN(82)
