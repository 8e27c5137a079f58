; The installer's own texts; MUI brings the rest in both languages.

LangString DIR_TEXT ${LANG_ENGLISH} "The saver goes into the Windows system folder. Setup puts the piece image, the sample sounds and INSTALL.txt in the folder below."
LangString DIR_TEXT ${LANG_JAPANESE} "スクリーンセーバーは Windows のシステムフォルダーに入ります。コマの画像、サンプルの音、INSTALL.txt は次のフォルダーに入ります。"

LangString USE_AS_SAVER ${LANG_ENGLISH} "Use it as my screen saver and open the screen saver settings"
LangString USE_AS_SAVER ${LANG_JAPANESE} "スクリーンセーバーに設定し、設定画面を開く"

LangString NEED_ADMIN ${LANG_ENGLISH} "Setup needs administrator rights to install the screen saver in the Windows system folder."
LangString NEED_ADMIN ${LANG_JAPANESE} "スクリーンセーバーを Windows のシステムフォルダーに入れるには、管理者の権限が必要です。"
