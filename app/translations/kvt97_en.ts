<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Dialogs</name>
    <message>
        <source>リバーブ</source>
        <translation>Reverb</translation>
    </message>
    <message>
        <source>コーラス</source>
        <translation>Chorus</translation>
    </message>
    <message>
        <source>コーラスの強さ</source>
        <translation>Chorus depth</translation>
    </message>
    <message>
        <source>全音量</source>
        <translation>Master volume</translation>
    </message>
    <message>
        <source>ドラム音量</source>
        <translation>Drum volume</translation>
    </message>
    <message>
        <source>*.KVT を保存しない</source>
        <translation>Do not keep the *.KVT</translation>
    </message>
    <message>
        <source>*.KVT を保存する</source>
        <translation>Keep the *.KVT</translation>
    </message>
    <message>
        <source>DOVAの音源  (KVT.CFGを使用)  </source>
        <translation>DOVA sound source   (uses KVT.CFG)</translation>
    </message>
    <message>
        <source>Rolandの音源(KVTGS.CFGを使用)</source>
        <translation>Roland sound source (uses KVTGS.CFG)</translation>
    </message>
    <message>
        <source>変換したデータ</source>
        <translation>Converted data</translation>
    </message>
    <message>
        <source>MIDIファイルからの変換時の設定</source>
        <translation>MIDI file conversion settings</translation>
    </message>
    <message>
        <source>音源</source>
        <translation>Sound source</translation>
    </message>
    <message>
        <source>MIDI音源メーカーの種類</source>
        <translation>Maker of the MIDI sound source</translation>
    </message>
    <message>
        <source>KVTﾃﾞｰﾀ (*.kvt)</source>
        <translation>KVT data (*.kvt)</translation>
    </message>
    <message>
        <source>MIDIﾃﾞｰﾀ (*.mid)</source>
        <translation>MIDI data (*.mid)</translation>
    </message>
    <message>
        <source>WAVﾃﾞｰﾀ (*.wav)</source>
        <translation>WAV data (*.wav)</translation>
    </message>
    <message>
        <source>MMLﾃﾞｰﾀ (*.mml)</source>
        <translation>MML data (*.mml)</translation>
    </message>
    <message>
        <source>RCPﾃﾞｰﾀ (*.rcp)</source>
        <translation>RCP data (*.rcp)</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>リバーブのみ</source>
        <translation>Reverb only</translation>
    </message>
    <message>
        <source>リバーブ・コーラス</source>
        <translation>Reverb and chorus</translation>
    </message>
    <message>
        <source>ステレオ</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>モノラル</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>速い</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>普通</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>遅い</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>１回</source>
        <translation>Once</translation>
    </message>
    <message>
        <source>２回</source>
        <translation>Twice</translation>
    </message>
    <message>
        <source>１つの曲を繰り返し演奏</source>
        <translation>Repeat one song</translation>
    </message>
    <message>
        <source>連続演奏</source>
        <translation>Play the album through</translation>
    </message>
    <message>
        <source>ランダム演奏</source>
        <translation>Random play</translation>
    </message>
    <message>
        <source>出力周波数</source>
        <translation>Output rate</translation>
    </message>
    <message>
        <source>エフェクト</source>
        <translation>Effects</translation>
    </message>
    <message>
        <source>チャンネル</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>フェードアウト</source>
        <translation>Fade-out</translation>
    </message>
    <message>
        <source>ループ回数</source>
        <translation>Loops</translation>
    </message>
    <message>
        <source>演奏プログラム</source>
        <translation>Play program</translation>
    </message>
    <message>
        <source>スクリーンセーバーを起動しない．</source>
        <translation>Keep the screen saver away while playing.</translation>
    </message>
    <message>
        <source>演奏状態の設定</source>
        <translation>Playback settings</translation>
    </message>
    <message>
        <source>ビット数</source>
        <translation>Bits</translation>
    </message>
    <message>
        <source>WAVEファイルへの変換時の設定</source>
        <translation>WAVE file output settings</translation>
    </message>
    <message>
        <source>設定終了</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>音色波形データ(*.KVW)が入っているディレクトリを指定してください。
ワイルドカードも使用できます。
例：「c:\kvt97\pcm*」「c:\kvt97\*」</source>
        <translation>Give the directories that hold the voice wave data (*.KVW).
Wildcards may be used.
Examples: “/home/me/kvt97/pcm*”, “/home/me/kvt97/*”</translation>
    </message>
    <message>
        <source>ディレクトリ１</source>
        <translation>Directory 1</translation>
    </message>
    <message>
        <source>ディレクトリ２</source>
        <translation>Directory 2</translation>
    </message>
    <message>
        <source>音色波形データのディレクトリ</source>
        <translation>Voice wave data directories</translation>
    </message>
    <message>
        <source>アルバムの作成</source>
        <translation>New album</translation>
    </message>
    <message>
        <source>新しく作成するアルバム名を入力して下さい</source>
        <translation>Enter the name of the new album</translation>
    </message>
    <message>
        <source>アルバム名の変更</source>
        <translation>Rename album</translation>
    </message>
    <message>
        <source>変更後の名前を入力して下さい</source>
        <translation>Enter the new name</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>waveへの変換</source>
        <translation>Converting to WAVE</translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙを開く(&amp;O)</source>
        <translation>&amp;Open File</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>変換(&amp;C)</source>
        <translation>&amp;Convert</translation>
    </message>
    <message>
        <source>ﾏｸﾛﾌｧｲﾙ (*.MML) -&gt; KVTﾃﾞｰﾀ (*.KVT) (&amp;A)...</source>
        <translation>Macro file (*.MML) -&gt; KVT data (*.KVT) (&amp;A)...</translation>
    </message>
    <message>
        <source>MIDIﾃﾞｰﾀ (*.MID) -&gt; KVTﾃﾞｰﾀ (*.KVT) (&amp;B)...</source>
        <translation>MIDI data (*.MID) -&gt; KVT data (*.KVT) (&amp;B)...</translation>
    </message>
    <message>
        <source>KVTﾃﾞｰﾀ (*.KVT) -&gt; ｳｪｰﾌﾞﾃﾞｰﾀ (*.WAV) (&amp;C)...</source>
        <translation>KVT data (*.KVT) -&gt; wave data (*.WAV) (&amp;C)...</translation>
    </message>
    <message>
        <source>RCPﾃﾞｰﾀ (*.RCP) -&gt; MIDIﾃﾞｰﾀ (*.MID) (&amp;D)...</source>
        <translation>RCP data (*.RCP) -&gt; MIDI data (*.MID) (&amp;D)...</translation>
    </message>
    <message>
        <source>RCPﾃﾞｰﾀ (*.RCP) -&gt; KVTﾃﾞｰﾀ (*.KVT) (&amp;E)...</source>
        <translation>RCP data (*.RCP) -&gt; KVT data (*.KVT) (&amp;E)...</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>演奏状態の設定(&amp;P)...</source>
        <translation>&amp;Playback settings...</translation>
    </message>
    <message>
        <source>音色波形データのディレクトリ(&amp;D)...</source>
        <translation>Voice wave &amp;directories...</translation>
    </message>
    <message>
        <source>MIDIファイルからの変換時の設定(&amp;C)...</source>
        <translation>MIDI file &amp;conversion settings...</translation>
    </message>
    <message>
        <source>WAVファイルへの変換時の設定(&amp;W)...</source>
        <translation>&amp;WAV output settings...</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>目次(&amp;C)</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>ＭＭＬ初心者向けマニュアル(&amp;M)</source>
        <translation>&amp;MML beginner&apos;s manual</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;V)...</source>
        <translation>&amp;Version information...</translation>
    </message>
    <message>
        <source>表示言語(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>システムに合わせる(&amp;S)</source>
        <translation>&amp;System language</translation>
    </message>
    <message>
        <source>変換中止(&amp;A)</source>
        <translation>&amp;Abort conversion</translation>
    </message>
    <message>
        <source>演奏中止(&amp;A)</source>
        <translation>&amp;Abort playback</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>アルバム</source>
        <translation>Albums</translation>
    </message>
    <message>
        <source>演奏ファイル</source>
        <translation>Songs</translation>
    </message>
    <message>
        <source>アルバムリスト</source>
        <translation>Album list</translation>
    </message>
    <message>
        <source>ファイルリスト[%1]</source>
        <translation>File list [%1]</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>演奏</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>演奏中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>ドキュメント</source>
        <translation>Document</translation>
    </message>
    <message>
        <source>鍵盤表示</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>ｱﾙﾊﾞﾑ作成</source>
        <translation>New album</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>ｱﾙﾊﾞﾑ削除</source>
        <translation>Delete album</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>ｱﾙﾊﾞﾑ名変更</source>
        <translation>Rename album</translation>
    </message>
    <message>
        <source>全削除</source>
        <translation>Remove all</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>最新情報</source>
        <translation>What&apos;s new</translation>
    </message>
    <message>
        <source>ｱﾙﾊﾞﾑに戻る</source>
        <translation>To albums</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>確認メッセージ</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>アルバム数が２５６を超えます
これ以上追加することはできません</source>
        <translation>There would be more than 256 albums.
No more can be added.</translation>
    </message>
    <message>
        <source>アルバムの容量を超えます
これ以上追加することはできません</source>
        <translation>The album is full.
No more can be added.</translation>
    </message>
    <message>
        <source>このアルバムはＫＶＴ９５で予約されているので
削除することはできません</source>
        <translation>This album is reserved by KVT95,
so it cannot be deleted.</translation>
    </message>
    <message>
        <source>このアルバムはＫＶＴ９７で予約されているので
名前の変更はできません</source>
        <translation>This album is reserved by KVT97,
so it cannot be renamed.</translation>
    </message>
    <message>
        <source>アルバム内に演奏ファイルが記録されています
すべて削除してもいいですか？</source>
        <translation>The album holds songs.
Delete them all?</translation>
    </message>
    <message>
        <source>1個しか受け付けられません</source>
        <translation>Only one file can be taken</translation>
    </message>
    <message>
        <source>変換が終了しました</source>
        <translation>The conversion has finished</translation>
    </message>
    <message>
        <source>WAV出力終了しました</source>
        <translation>The WAV output has finished</translation>
    </message>
    <message>
        <source>削除する項目を選んで下さい</source>
        <translation>Select the item to delete</translation>
    </message>
    <message>
        <source>まずアルバムを選択して下さい</source>
        <translation>Select an album first</translation>
    </message>
    <message>
        <source>本当にファイルをすべて削除しますか？</source>
        <translation>Really remove every file?</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>Version information</translation>
    </message>
</context>
<context>
    <name>kvt::app::HelpViewer</name>
    <message>
        <source>KVT97 ヘルプ</source>
        <translation>KVT97 Help</translation>
    </message>
</context>
</TS>
