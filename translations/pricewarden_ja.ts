<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AmazonConnector</name>
    <message>
        <source>the configuration file</source>
        <translation>設定ファイル</translation>
    </message>
    <message>
        <source>The store refused the configured account keys (%1). Check the keys in %2.</source>
        <translation>ストアが設定済みのアカウントキーを拒否しました（%1）。%2のキーを確認してください。</translation>
    </message>
    <message>
        <source>Invalid Request: </source>
        <translation>無効なリクエスト：</translation>
    </message>
    <message>
        <source>Ssl error.</source>
        <translation>SSLエラーです。</translation>
    </message>
    <message>
        <source>Invalid reply: more than %1 MiB</source>
        <translation>無効な応答：%1 MiBを超えています</translation>
    </message>
    <message>
        <source>Network error: %1 (no complete answer within %2 seconds)</source>
        <translation>ネットワークエラー：%1（%2秒以内に完全な応答がありません）</translation>
    </message>
    <message>
        <source>Network error: %1</source>
        <translation>ネットワークエラー：%1</translation>
    </message>
    <message>
        <source>Invalid reply: %1</source>
        <translation>無効な応答：%1</translation>
    </message>
    <message>
        <source>Invalid reply: %1 (line %2, column %3)</source>
        <translation>無効な応答：%1（%2行目、%3列目）</translation>
    </message>
    <message>
        <source>Not Available</source>
        <translation>在庫なし</translation>
    </message>
    <message numerus="yes">
        <source>Invalid reply: %n item(s) that were not asked for</source>
        <translation>
            <numerusform>無効な応答：要求していない商品が%n件あります</numerusform>
        </translation>
    </message>
    <message>
        <source>Invalid reply: more than %1 items</source>
        <translation>無効な応答：商品が%1件を超えています</translation>
    </message>
    <message>
        <source>Invalid reply: the checkout page is no web address</source>
        <translation>無効な応答：購入手続きページがウェブアドレスではありません</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Watches products in the stores of an online retailer and reacts when one comes into stock or its price falls to your line.

With -minimize as the first argument the window starts minimised.</source>
        <translation>オンライン販売店の各ストアで商品を監視し、商品が入荷したときや価格が設定した基準額まで下がったときに通知します。

最初の引数に -minimize を指定すると、ウィンドウは最小化された状態で起動します。</translation>
    </message>
    <message>
        <source>Displays this help and ends.</source>
        <translation>このヘルプを表示して終了します。</translation>
    </message>
    <message>
        <source>Displays the version and ends.</source>
        <translation>バージョンを表示して終了します。</translation>
    </message>
    <message>
        <source>Usage: %1 [options]</source>
        <translation>使い方: %1 [オプション]</translation>
    </message>
</context>
<context>
    <name>DatabaseManager</name>
    <message>
        <source>Cannot Load</source>
        <translation>読み込みエラー</translation>
    </message>
    <message>
        <source>Unable to load previously saved items.</source>
        <translation>保存済みの商品を読み込めませんでした。</translation>
    </message>
    <message>
        <source>The database is not open.</source>
        <translation>データベースが開かれていません。</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>In stock at %1</source>
        <translation>%1で入荷</translation>
    </message>
    <message>
        <source>Price dropped to %1</source>
        <translation>%1に値下がり</translation>
    </message>
    <message>
        <source>(was %1)</source>
        <translation>（以前は%1）</translation>
    </message>
    <message>
        <source>Open product page</source>
        <translation>商品ページを開く</translation>
    </message>
</context>
<context>
    <name>DialogAbout</name>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>%1について</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>バージョン %1</translation>
    </message>
    <message>
        <source>News, help and releases: &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;</source>
        <translation>ニュース・ヘルプ・リリース：&lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Checking for new version...</source>
        <translation>新しいバージョンを確認しています…</translation>
    </message>
    <message>
        <source>Can not check version information. 
Please go to website for more info.</source>
        <translation>バージョン情報を確認できません。
詳しくはウェブサイトをご覧ください。</translation>
    </message>
    <message>
        <source>Pricewarden is up to date.</source>
        <translation>Pricewardenは最新です。</translation>
    </message>
    <message>
        <source>New version %1 is available. &lt;a href=&quot;%2&quot;&gt;Download here&lt;/a&gt;.</source>
        <translation>新しいバージョン %1 が公開されています。&lt;a href=&quot;%2&quot;&gt;ダウンロードはこちら&lt;/a&gt;。</translation>
    </message>
    <message>
        <source>New version %1 is available.</source>
        <translation>新しいバージョン %1 が公開されています。</translation>
    </message>
</context>
<context>
    <name>DialogAlert</name>
    <message>
        <source>Alert</source>
        <translation>アラート</translation>
    </message>
    <message>
        <source>Sound Off</source>
        <translation>音を止める</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>&lt;p&gt;On %1:&lt;br /&gt;%2: Item is &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;in stock&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1：&lt;br /&gt;%2：商品が&lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;入荷&lt;/font&gt;&lt;/b&gt;しました！&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;On %1:&lt;br /&gt;%2: Item price has dropped to &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1：&lt;br /&gt;%2：価格が&lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;に下がりました！&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>DialogConfirm</name>
    <message>
        <source>Confirm</source>
        <translation>確認</translation>
    </message>
    <message>
        <source>Do not show this message again</source>
        <translation>今後このメッセージを表示しない</translation>
    </message>
</context>
<context>
    <name>DialogPreference</name>
    <message>
        <source>Preferences</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Watch</source>
        <translation>監視</translation>
    </message>
    <message>
        <source>Check availability of watched item(s) every</source>
        <translation>監視中の商品を確認する間隔：</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>分</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>Alert</source>
        <translation>アラート</translation>
    </message>
    <message>
        <source>Play sound for</source>
        <translation>サウンドを</translation>
    </message>
    <message>
        <source>loops unless I turn it off</source>
        <translation>回再生（途中で止めない限り）</translation>
    </message>
    <message>
        <source>Select sound file</source>
        <translation>サウンドファイルを選択</translation>
    </message>
    <message>
        <source>Select your own...</source>
        <translation>ファイルを選択…</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>テスト</translation>
    </message>
    <message>
        <source>Email address to receive alert</source>
        <translation>アラートを受け取るメールアドレス</translation>
    </message>
    <message>
        <source>Do not pop up alert window</source>
        <translation>アラートウィンドウを表示しない</translation>
    </message>
    <message>
        <source>Show desktop notifications</source>
        <translation>デスクトップ通知を表示する</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>起動</translation>
    </message>
    <message>
        <source>Launch program when Mac OS X starts</source>
        <translation>Mac OS Xの起動時にプログラムを起動する</translation>
    </message>
    <message>
        <source>Automatically start watching when program starts</source>
        <translation>プログラムの起動時に監視を自動的に開始する</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>その他</translation>
    </message>
    <message>
        <source>Minimize to system tray</source>
        <translation>システムトレイに最小化する</translation>
    </message>
    <message>
        <source>Close to minimize</source>
        <translation>閉じるボタンで最小化する</translation>
    </message>
    <message>
        <source>Launch program when %1 starts</source>
        <translation>%1の起動時にプログラムを起動する</translation>
    </message>
    <message>
        <source>Wave Files (*.wav)</source>
        <translation>WAVファイル (*.wav)</translation>
    </message>
    <message>
        <source>Play Sound</source>
        <translation>サウンドの再生</translation>
    </message>
    <message>
        <source>Can not find sound file.</source>
        <translation>サウンドファイルが見つかりません。</translation>
    </message>
</context>
<context>
    <name>DialogSearch</name>
    <message>
        <source>Dialog</source>
        <translation>ダイアログ</translation>
    </message>
</context>
<context>
    <name>DialogUpdate</name>
    <message>
        <source>Update</source>
        <translation>アップデート</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>ダウンロード</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>New version %1 is available.</source>
        <translation>新しいバージョン %1 が公開されています。</translation>
    </message>
</context>
<context>
    <name>DownloadManager</name>
    <message>
        <source>Download &apos;%1&apos; refused: only http and https addresses are fetched.</source>
        <translation>ダウンロード「%1」を拒否しました：取得できるのは http と https のアドレスだけです。</translation>
    </message>
    <message>
        <source>Problem opening save file &apos;%1&apos; for download &apos;%2&apos;: %3</source>
        <translation>ダウンロード「%2」の保存先ファイル「%1」を開けません：%3</translation>
    </message>
    <message>
        <source>Download &apos;%1&apos; is larger than %2 MiB.</source>
        <translation>ダウンロード「%1」が%2 MiBを超えています。</translation>
    </message>
    <message>
        <source>Problem writing save file &apos;%1&apos;: %2</source>
        <translation>ファイル「%1」に書き込めません：%2</translation>
    </message>
    <message>
        <source>Problem storing download as &apos;%1&apos;.</source>
        <translation>ダウンロードを「%1」として保存できませんでした。</translation>
    </message>
</context>
<context>
    <name>HttpNode</name>
    <message>
        <source>Invalid URL</source>
        <translation>無効なURLです</translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation>HTTPステータス %1</translation>
    </message>
    <message>
        <source>The response is larger than %1 MiB</source>
        <translation>応答が%1 MiBを超えています</translation>
    </message>
    <message>
        <source>Too many redirects</source>
        <translation>リダイレクトが多すぎます</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>ASIN / Full Product URL</source>
        <translation>ASIN / 商品ページのURL</translation>
    </message>
    <message>
        <source>Paste full URL here and Amazon store will automatically be recognized.</source>
        <translation>商品ページのURLをここに貼り付けると、Amazonのストアが自動的に認識されます。</translation>
    </message>
    <message>
        <source>US</source>
        <translation>米国</translation>
    </message>
    <message>
        <source>Canada</source>
        <translation>カナダ</translation>
    </message>
    <message>
        <source>UK</source>
        <translation>英国</translation>
    </message>
    <message>
        <source>Germany</source>
        <translation>ドイツ</translation>
    </message>
    <message>
        <source>France</source>
        <translation>フランス</translation>
    </message>
    <message>
        <source>Japan</source>
        <translation>日本</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Amazon Store</source>
        <translation>Amazonストア</translation>
    </message>
    <message>
        <source>Item Name</source>
        <translation>商品名</translation>
    </message>
    <message>
        <source>Store</source>
        <translation>ストア</translation>
    </message>
    <message>
        <source>In Stock</source>
        <translation>在庫</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>価格</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新品</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>中古</translation>
    </message>
    <message>
        <source>What to Watch</source>
        <translation>監視条件</translation>
    </message>
    <message>
        <source>Reaction</source>
        <translation>アクション</translation>
    </message>
    <message>
        <source>Item Detail</source>
        <translation>商品の詳細</translation>
    </message>
    <message>
        <source>Do not watch (inactive)</source>
        <translation>監視しない（無効）</translation>
    </message>
    <message>
        <source>Item in stock</source>
        <translation>商品が入荷したとき</translation>
    </message>
    <message>
        <source>Item price drops to or below</source>
        <translation>価格が次の額以下になったとき</translation>
    </message>
    <message>
        <source>Includes third party</source>
        <translation>他の出品者も含める：</translation>
    </message>
    <message>
        <source>How to React</source>
        <translation>アクション</translation>
    </message>
    <message>
        <source>Bring up item webpage</source>
        <translation>商品ページを開く</translation>
    </message>
    <message>
        <source>Put</source>
        <translation>カートに</translation>
    </message>
    <message>
        <source>in cart and take me to checkout</source>
        <translation>個入れて購入手続きへ進む</translation>
    </message>
    <message>
        <source>Send me an email</source>
        <translation>メールで知らせる</translation>
    </message>
    <message>
        <source>Price History</source>
        <translation>価格の推移</translation>
    </message>
    <message>
        <source>Amazon</source>
        <translation>Amazon</translation>
    </message>
    <message>
        <source>Highest:</source>
        <translation>最高値：</translation>
    </message>
    <message>
        <source>Lowest:</source>
        <translation>最安値：</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>ログ</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>標準</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Start Watching</source>
        <translation>監視を開始</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Stop Watching</source>
        <translation>監視を停止</translation>
    </message>
    <message>
        <source>Check Now</source>
        <translation>今すぐ確認</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>アップデート</translation>
    </message>
    <message>
        <source>About</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>About Pricewarden</source>
        <translation>Pricewardenについて</translation>
    </message>
    <message>
        <source>Amazon.com</source>
        <translation>Amazon.com</translation>
    </message>
    <message>
        <source>United States</source>
        <translation>アメリカ合衆国</translation>
    </message>
    <message>
        <source>United Kingdom</source>
        <translation>イギリス</translation>
    </message>
    <message>
        <source>Paste and Go</source>
        <translation>貼り付けて追加</translation>
    </message>
    <message>
        <source>Past and Go</source>
        <translation>貼り付けて追加</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>ウィンドウを表示</translation>
    </message>
    <message>
        <source>Watching</source>
        <translation>監視中</translation>
    </message>
    <message>
        <source>Pricewarden is idle. You must click &quot;Start&quot; to start watching!</source>
        <translation>Pricewardenは待機中です。監視を始めるには「開始」をクリックしてください。</translation>
    </message>
    <message>
        <source>Do you really want to remove item &quot;%1&quot;?</source>
        <translation>商品「%1」を削除してもよろしいですか？</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>確認</translation>
    </message>
    <message>
        <source>The alert e-mail could not be sent: %1</source>
        <translation>アラートメールを送信できませんでした：%1</translation>
    </message>
    <message>
        <source>You have set to receive email for alert but you did not provide an email address. Please go to preferences and set up your email address.</source>
        <translation>アラートをメールで受け取る設定になっていますが、メールアドレスが入力されていません。設定画面でメールアドレスを入力してください。</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>お知らせ</translation>
    </message>
    <message>
        <source>No items were set as to be watched. You can still set it after watch starts.</source>
        <translation>監視する商品が設定されていません。監視の開始後でも設定できます。</translation>
    </message>
    <message>
        <source>Start watching.</source>
        <translation>監視を開始しました。</translation>
    </message>
    <message>
        <source>Stop watching.</source>
        <translation>監視を停止しました。</translation>
    </message>
    <message>
        <source>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Item is &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;in stock&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1：&lt;b&gt;%2&lt;/b&gt;：商品が&lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;入荷&lt;/font&gt;&lt;/b&gt;しました！&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Item price has dropped to &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1：&lt;b&gt;%2&lt;/b&gt;：価格が&lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;に下がりました！&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Average price of the last 30, 90 and 365 days</source>
        <translation>過去30日・90日・365日の平均価格</translation>
    </message>
    <message>
        <source>Ø 30 · 90 · 365 d:</source>
        <translation>平均 30 · 90 · 365 日：</translation>
    </message>
    <message>
        <source>Save the price history of the selected item as a CSV file</source>
        <translation>選択した商品の価格履歴をCSVファイルとして保存</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>CSVをエクスポート…</translation>
    </message>
    <message>
        <source>Export Price History</source>
        <translation>価格履歴のエクスポート</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSVファイル (*.csv)</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSVのエクスポート</translation>
    </message>
    <message>
        <source>The price history could not be saved as %1:
%2</source>
        <translation>価格履歴を%1として保存できませんでした：
%2</translation>
    </message>
</context>
<context>
    <name>PriceHistoryCsv</name>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>価格</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新品</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>中古</translation>
    </message>
</context>
<context>
    <name>PriceStatistics</name>
    <message>
        <source>Average price of the days with an offer:</source>
        <translation>出品があった日の平均価格：</translation>
    </message>
    <message>
        <source>last %1 days: no offer</source>
        <translation>過去%1日：出品なし</translation>
    </message>
    <message>
        <source>last %1 days: %2 (1 day counted)</source>
        <translation>過去%1日：%2（1日分）</translation>
    </message>
    <message>
        <source>last %1 days: %2 (%3 days counted)</source>
        <translation>過去%1日：%2（%3日分）</translation>
    </message>
</context>
<context>
    <name>ProductSheet</name>
    <message>
        <source>Not available</source>
        <translation>在庫なし</translation>
    </message>
    <message>
        <source>Eligible for &lt;b&gt;&lt;font color=&quot;#00cc00&quot;&gt;FREE Super Saver Shipping&lt;/font&gt;&lt;/b&gt;</source>
        <translation>&lt;b&gt;&lt;font color=&quot;#00cc00&quot;&gt;通常配送無料&lt;/font&gt;&lt;/b&gt;の対象</translation>
    </message>
</context>
<context>
    <name>ServiceManager</name>
    <message>
        <source>No service specified.</source>
        <translation>サービスが指定されていません。</translation>
    </message>
    <message>
        <source>Unsupported request method: %1</source>
        <translation>対応していないリクエストメソッドです：%1</translation>
    </message>
    <message>
        <source>Reply too large: more than %1 MiB.</source>
        <translation>応答が大きすぎます：%1 MiBを超えています。</translation>
    </message>
    <message>
        <source>Network error: (%1) %2</source>
        <translation>ネットワークエラー：(%1) %2</translation>
    </message>
    <message>
        <source>Invalid reply: %1</source>
        <translation>無効な応答：%1</translation>
    </message>
    <message>
        <source>Unknown service</source>
        <translation>不明なサービスです</translation>
    </message>
</context>
<context>
    <name>WatchListWidget</name>
    <message>
        <source>Item in stock</source>
        <translation>入荷</translation>
    </message>
    <message>
        <source>Price drop to %1</source>
        <translation>%1以下に値下がり</translation>
    </message>
    <message>
        <source>Do not watch</source>
        <translation>監視しない</translation>
    </message>
    <message>
        <source>Show alert</source>
        <translation>アラート表示</translation>
    </message>
    <message>
        <source>Email me</source>
        <translation>メール通知</translation>
    </message>
    <message>
        <source>Bring up webpage</source>
        <translation>ページを開く</translation>
    </message>
    <message>
        <source>Take me to check out</source>
        <translation>購入手続きへ</translation>
    </message>
</context>
<context>
    <name>WidgetPriceHistoryContent</name>
    <message>
        <source>MMM d</source>
        <comment>date label of the chart&apos;s time axis</comment>
        <translation>M月d日</translation>
    </message>
</context>
<context>
    <name>XmlReplyCheck</name>
    <message>
        <source>elements nested deeper than %1 levels</source>
        <translation>要素の入れ子が%1階層を超えています</translation>
    </message>
    <message>
        <source>a document type declaration is not accepted</source>
        <translation>文書型宣言は受け付けません</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Critial Error</source>
        <translation>重大なエラー</translation>
    </message>
    <message>
        <source>Program failed to initialize. Data will not be saved! Please close it and try again.</source>
        <translation>プログラムを初期化できませんでした。データは保存されません。プログラムを閉じて、もう一度お試しください。</translation>
    </message>
</context>
</TS>
